#include "common/core/MoneyFormat.h"

#include "common/core/RegionalSettings.h"

#include <cstdint>

namespace vm::core {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string formatAmount(Money amount, const RegionalSettings& settings) {
    const std::int64_t cents = amount.roundedToCents().raw() / (Money::kScale / 100);
    const bool negative = cents < 0;
    // Unsigned so that the most negative amount has a magnitude too.
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    const std::string units = std::to_string(magnitude / 100);
    std::string out = negative ? "-" : "";
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i > 0 && (units.size() - i) % 3 == 0) out += settings.thousandsSeparator;
        out += units[i];
    }
    const unsigned frac = static_cast<unsigned>(magnitude % 100);
    out += settings.decimalSeparator;
    out += static_cast<char>('0' + frac / 10);
    out += static_cast<char>('0' + frac % 10);
    return out;
}

std::string formatMoney(Money amount, const RegionalSettings& settings) {
    std::string text = formatAmount(amount, settings);
    if (!settings.symbolBefore()) return text + settings.currencySymbol;
    if (!text.empty() && text.front() == '-') return "-" + settings.currencySymbol + text.substr(1);
    return settings.currencySymbol + text;
}

std::optional<Money> parseMoney(std::string_view text, const RegionalSettings& settings) {
    const char group = settings.thousandsSeparator;
    char point = settings.decimalSeparator;
    // Spaces that group digits come in several kinds (a no-break space from
    // a French keyboard or a pasted amount): all read as the blank.
    std::string blanks;
    if (group == ' ') {
        blanks.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.substr(i, 2) == "\xC2\xA0") {
                blanks += ' ';
                ++i;
            } else if (text.substr(i, 3) == "\xE2\x80\xAF") {
                blanks += ' ';
                i += 2;
            } else {
                blanks += text[i];
            }
        }
        text = blanks;
    }
    std::string_view s = trimBlanks(text);
    const std::string_view symbol = settings.currencySymbol;
    bool negative = false;
    auto takeSign = [&] {
        if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
            if (negative) return false;
            negative = s.front() == '-';
            s.remove_prefix(1);
        }
        return true;
    };
    if (!takeSign()) return std::nullopt;
    bool symbolSeen = false;
    if (!symbol.empty() && s.substr(0, symbol.size()) == symbol) {
        s.remove_prefix(symbol.size());
        symbolSeen = true;
        if (!negative && !takeSign()) return std::nullopt;
    }
    if (!symbolSeen && !symbol.empty() && s.size() >= symbol.size() &&
        s.substr(s.size() - symbol.size()) == symbol)
        s.remove_suffix(symbol.size());
    s = trimBlanks(s);
    if (s.empty()) return std::nullopt;

    // Where the decimals follow a comma, a point marks them too ("12.5").
    if (point != '.' && group != '.' && s.find(point) == std::string_view::npos &&
        s.find('.') != std::string_view::npos)
        point = '.';
    const std::size_t pointAt = s.find(point);
    std::string_view whole = s.substr(0, pointAt);
    const std::string_view frac =
        pointAt == std::string_view::npos ? std::string_view() : s.substr(pointAt + 1);

    std::string digits;
    if (group != point && whole.find(group) != std::string_view::npos) {
        // Grouped: 1 to 3 digits, then groups of exactly three.
        const std::size_t first = whole.find(group);
        if (first == 0 || first > 3 || (whole.size() - first) % 4 != 0) return std::nullopt;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            if (i >= first && (i - first) % 4 == 0) {
                if (whole[i] != group) return std::nullopt;
            } else if (!isDigit(whole[i])) {
                return std::nullopt;
            } else {
                digits += whole[i];
            }
        }
    } else {
        for (char c : whole) {
            if (!isDigit(c)) return std::nullopt;
            digits += c;
        }
    }
    for (char c : frac)
        if (!isDigit(c)) return std::nullopt;
    if (digits.empty() && frac.empty()) return std::nullopt;

    std::string plain = negative ? "-" : "";
    plain += digits.empty() ? "0" : digits;
    if (!frac.empty()) {
        plain += '.';
        plain += frac;
    }
    return Money::parse(plain);
}

} // namespace vm::core
