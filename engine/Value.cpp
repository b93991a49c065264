#include "engine/Value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vm {

namespace {
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::string formatDouble(double d) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return ec == std::errc() ? std::string(buf, p) : std::string();
}
} // namespace

std::string Value::asString() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](std::int64_t v) { return std::to_string(v); },
                          [](double v) { return formatDouble(v); },
                          [](const std::string& v) { return v; },
                          [](Money v) { return v.toExactString(); },
                          [](Date v) { return v.toIso(); },
                          [](DateTime v) { return v.toIso(); },
                          [](Time v) { return v.toIso(); },
                          [](bool v) { return std::string(v ? "True" : "False"); },
                          [](const Bytes& v) { return std::string(v.begin(), v.end()); },
                      },
                      v_);
}

std::int64_t Value::asInt() const {
    return std::visit(Overloaded{
                          [](std::monostate) -> std::int64_t { return 0; },
                          [](std::int64_t v) { return v; },
                          [](double v) { return static_cast<std::int64_t>(std::llround(v)); },
                          [](const std::string& v) -> std::int64_t {
                              std::int64_t r = 0;
                              std::string_view s = v;
                              while (!s.empty() && s.front() == ' ')
                                  s.remove_prefix(1);
                              if (!s.empty() && s.front() == '+') s.remove_prefix(1);
                              auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), r);
                              (void)p;
                              return ec == std::errc() ? r : 0;
                          },
                          [](Money v) { return v.roundedToCents().raw() / Money::kScale; },
                          [](Date v) -> std::int64_t { return v.days(); },
                          [](DateTime) -> std::int64_t { return 0; },
                          [](Time v) -> std::int64_t { return v.seconds(); },
                          [](bool v) -> std::int64_t { return v ? 1 : 0; },
                          [](const Bytes&) -> std::int64_t { return 0; },
                      },
                      v_);
}

double Value::asDouble() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](std::int64_t v) { return static_cast<double>(v); },
                          [](double v) { return v; },
                          [](const std::string& v) {
                              char* end = nullptr;
                              double d = std::strtod(v.c_str(), &end);
                              return end && *end == '\0' ? d : 0.0;
                          },
                          [](Money v) { return v.toDouble(); },
                          [](Date) { return 0.0; },
                          [](DateTime) { return 0.0; },
                          [](Time v) { return static_cast<double>(v.seconds()); },
                          [](bool v) { return v ? 1.0 : 0.0; },
                          [](const Bytes&) { return 0.0; },
                      },
                      v_);
}

Money Value::asMoney() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return Money(); },
                          [](std::int64_t v) { return Money::fromUnits(v); },
                          [](double v) { return Money::fromDouble(v); },
                          [](const std::string& v) { return Money::parse(v).value_or(Money()); },
                          [](Money v) { return v; },
                          [](auto) { return Money(); },
                      },
                      v_);
}

Date Value::asDate() const {
    if (auto d = std::get_if<Date>(&v_)) return *d;
    if (auto dt = std::get_if<DateTime>(&v_)) return dt->date();
    if (auto s = std::get_if<std::string>(&v_)) return Date::fromIso(*s).value_or(Date());
    return Date();
}

DateTime Value::asDateTime() const {
    if (auto dt = std::get_if<DateTime>(&v_)) return *dt;
    if (auto d = std::get_if<Date>(&v_)) return DateTime(*d, 0);
    if (auto s = std::get_if<std::string>(&v_)) return DateTime::fromIso(*s).value_or(DateTime());
    return DateTime();
}

Time Value::asTime() const {
    if (auto t = std::get_if<Time>(&v_)) return *t;
    if (auto dt = std::get_if<DateTime>(&v_)) return Time::fromSeconds(dt->secondsOfDay());
    if (auto s = std::get_if<std::string>(&v_)) return Time::fromIso(*s).value_or(Time());
    return Time();
}

bool Value::asBool() const {
    if (auto b = std::get_if<bool>(&v_)) return *b;
    if (auto i = std::get_if<std::int64_t>(&v_)) return *i != 0;
    if (auto s = std::get_if<std::string>(&v_))
        return *s == "Y" || *s == "y" || *s == "1" || *s == "True" || *s == "true" || *s == "T";
    return false;
}

Bytes Value::asBytes() const {
    if (auto b = std::get_if<Bytes>(&v_)) return *b;
    if (auto s = std::get_if<std::string>(&v_)) return Bytes(s->begin(), s->end());
    return {};
}

} // namespace vm
