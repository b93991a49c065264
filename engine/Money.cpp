#include "engine/Money.h"

#include <cmath>
#include <cstdlib>

namespace vm {

namespace {
// Integer division rounding halves away from zero.
std::int64_t divRound(std::int64_t v, std::int64_t d) {
    std::int64_t q = v / d;
    std::int64_t r = v % d;
    if (std::llabs(r) * 2 >= d) q += (v < 0) ? -1 : 1;
    return q;
}
} // namespace

Money Money::fromDouble(double value) {
    return Money(static_cast<std::int64_t>(std::llround(static_cast<long double>(value) * kScale)));
}

std::optional<Money> Money::parse(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t units = 0;
    std::int64_t frac = 0;
    int fracDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (inFraction) {
                if (++fracDigits > 4) return std::nullopt;
                frac = frac * 10 + (c - '0');
            } else {
                if (units > INT64_MAX / kScale) return std::nullopt;
                units = units * 10 + (c - '0');
            }
        } else if ((c == '.' || c == ',') && !inFraction) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) return std::nullopt;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    // The last whole digit may still carry the amount past what the type holds.
    if (units > (INT64_MAX - frac) / kScale) return std::nullopt;
    std::int64_t raw = units * kScale + frac;
    return Money(negative ? -raw : raw);
}

Money Money::roundedToCents() const {
    return Money(divRound(v_, 100) * 100);
}

Money Money::convertedAt(double factor) const {
    long double cents = static_cast<long double>(v_) * factor / 100.0L;
    // A stored rate is binary: 1.345 is 1.34499999... Drop that noise before
    // rounding, so that a product ending in half a cent rounds away from zero.
    cents = std::round(cents * 1e6L) / 1e6L;
    return Money(static_cast<std::int64_t>(std::llround(cents)) * 100);
}

std::string Money::toString() const {
    std::int64_t cents = divRound(v_, 100);
    std::string sign = cents < 0 ? "-" : "";
    std::int64_t a = std::llabs(cents);
    std::string frac = std::to_string(a % 100);
    if (frac.size() < 2) frac.insert(0, "0");
    return sign + std::to_string(a / 100) + "." + frac;
}

std::string Money::toExactString() const {
    std::string sign = v_ < 0 ? "-" : "";
    std::int64_t a = std::llabs(v_);
    std::string frac = std::to_string(a % kScale);
    while (frac.size() < 4)
        frac.insert(0, "0");
    return sign + std::to_string(a / kScale) + "." + frac;
}

} // namespace vm
