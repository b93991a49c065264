#pragma once
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

// An exact amount in ten-thousandths of the currency unit, the precision of
// the stored money fields. Arithmetic never goes through double; amounts that
// are shown or converted are rounded to cents, halves away from zero.
class Money {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromRaw(std::int64_t tenThousandths) { return Money(tenThousandths); }
    static constexpr Money fromCents(std::int64_t cents) { return Money(cents * 100); }
    static constexpr Money fromUnits(std::int64_t units) { return Money(units * kScale); }
    // Rounds to the nearest ten-thousandth, halves away from zero.
    static Money fromDouble(double value);
    // Parses "1234", "-12.5", "1234.5678" (a '.' or ',' decimal separator, no
    // grouping, no symbol). More than four decimals or any other character is
    // refused with nullopt.
    static std::optional<Money> parse(std::string_view text);

    constexpr std::int64_t raw() const { return v_; }
    double toDouble() const { return static_cast<double>(v_) / kScale; }
    constexpr bool isZero() const { return v_ == 0; }

    // Rounded to whole cents, halves away from zero.
    Money roundedToCents() const;
    // this * factor, rounded to cents (halves away from zero); used for
    // exchange-rate conversion, where the factor is a stored float.
    Money convertedAt(double factor) const;
    // Plain text with two decimals after rounding to cents ("-1234.50").
    std::string toString() const;
    // Plain text with all four decimals ("12.3456").
    std::string toExactString() const;

    constexpr Money operator-() const { return Money(-v_); }
    constexpr Money operator+(Money o) const { return Money(v_ + o.v_); }
    constexpr Money operator-(Money o) const { return Money(v_ - o.v_); }
    constexpr Money operator*(std::int64_t k) const { return Money(v_ * k); }
    constexpr Money& operator+=(Money o) {
        v_ += o.v_;
        return *this;
    }
    constexpr Money& operator-=(Money o) {
        v_ -= o.v_;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;
    constexpr bool operator==(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t v) : v_(v) {}
    std::int64_t v_ = 0;
};

} // namespace vm
