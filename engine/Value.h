#pragma once
#include "engine/Date.h"
#include "engine/Money.h"
#include "engine/TableDef.h" // before Bytes below: FieldType::Bytes must not shadow it

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vm {

using Bytes = std::vector<std::uint8_t>;

// One field value as the engine hands it out: blank (null), or the value of
// the field's type. Getters convert between compatible kinds (an int32 field
// read as double, a money field read as double) and give the type's empty
// value for a blank field ("", 0, false, a blank date).
class Value {
public:
    using Storage = std::variant<std::monostate, std::int64_t, double, std::string, Money, Date, DateTime,
                                 Time, bool, Bytes>;
    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(std::int64_t{v}) {}
    Value(std::int64_t v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(Money v) : v_(v) {}
    Value(Date v) : v_(v) {
        if (v.isNull()) v_ = std::monostate{};
    }
    Value(DateTime v) : v_(v) {
        if (v.isNull()) v_ = std::monostate{};
    }
    Value(Time v) : v_(v) {
        if (v.isNull()) v_ = std::monostate{};
    }
    Value(bool v) : v_(v) {}
    Value(Bytes v) : v_(std::move(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    std::string asString() const; // numbers and dates as text too
    std::int64_t asInt() const;   // text is parsed; bad text gives 0
    double asDouble() const;
    Money asMoney() const;
    Date asDate() const;
    DateTime asDateTime() const;
    Time asTime() const;
    bool asBool() const;
    Bytes asBytes() const;

    const Storage& storage() const { return v_; }
    bool operator==(const Value&) const = default;

private:
    Storage v_;
};

} // namespace vm
