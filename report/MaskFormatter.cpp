#include "report/MaskFormatter.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace vm::report {

namespace {

// A decimal number as an integer count of 10^-scale units.
struct Scaled {
    std::int64_t units = 0;
    int scale = 0;
};

std::int64_t pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Rounds |value| to `decimals`, halves away from zero.
std::int64_t roundedAbs(Scaled v, int decimals) {
    std::int64_t a = v.units < 0 ? -v.units : v.units;
    if (decimals >= v.scale) return a * pow10(decimals - v.scale);
    std::int64_t div = pow10(v.scale - decimals);
    return a / div + ((a % div) * 2 >= div ? 1 : 0);
}

struct Section {
    std::string prefix, suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool grouping = false;
    bool hasDigits = false;
    bool empty = true;
};

Section parseSection(std::string_view s) {
    Section sec;
    sec.empty = s.empty();
    bool seenDigit = false, afterPoint = false;
    std::string pendingLiteral; // literals after the first digit go to the suffix
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'' || c == '"') {
            std::size_t end = s.find(c, i + 1);
            std::string_view lit =
                s.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
            (seenDigit ? sec.suffix : sec.prefix) += lit;
            if (end == std::string_view::npos) break;
            i = end;
        } else if (c == '0' || c == '#') {
            seenDigit = true;
            sec.hasDigits = true;
            if (afterPoint) {
                ++sec.maxDec;
                if (c == '0') sec.minDec = sec.maxDec;
            } else if (c == '0') {
                ++sec.minInt;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            seenDigit = true;
            sec.hasDigits = true;
        } else if (c == ',') {
            sec.grouping = true;
        } else {
            (seenDigit ? sec.suffix : sec.prefix) += c;
        }
    }
    return sec;
}

std::vector<std::string_view> splitSections(std::string_view mask) {
    std::vector<std::string_view> out;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            out.push_back(mask.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(mask.substr(start));
    return out;
}

std::string digits(std::int64_t absUnits, const Section& sec, NumberSeparators sep) {
    std::int64_t p = pow10(sec.maxDec);
    std::string ip = std::to_string(absUnits / p);
    std::string fp = sec.maxDec ? std::to_string(absUnits % p) : std::string();
    if (fp.size() < static_cast<std::size_t>(sec.maxDec))
        fp.insert(0, static_cast<std::size_t>(sec.maxDec) - fp.size(), '0');
    while (fp.size() > static_cast<std::size_t>(sec.minDec) && fp.back() == '0')
        fp.pop_back();
    if (ip == "0" && sec.minInt == 0) ip.clear();
    if (ip.size() < static_cast<std::size_t>(sec.minInt))
        ip.insert(0, static_cast<std::size_t>(sec.minInt) - ip.size(), '0');
    if (sec.grouping && ip.size() > 3) {
        std::string g;
        std::size_t lead = ip.size() % 3;
        for (std::size_t i = 0; i < ip.size(); ++i) {
            if (i >= lead && i > 0 && (i - lead) % 3 == 0) g += sep.thousands;
            g += ip[i];
        }
        ip = g;
    }
    return fp.empty() ? ip : ip + sep.decimal + fp;
}

std::string formatScaled(Scaled v, std::string_view mask, NumberSeparators sep) {
    auto parts = splitSections(mask);
    Section pos = parseSection(parts[0]);
    std::int64_t r = roundedAbs(v, pos.maxDec);
    const Section* sec = &pos;
    Section neg, zero;
    bool minus = false;
    if (r == 0) {
        if (parts.size() > 2) {
            zero = parseSection(parts[2]);
            sec = &zero;
        }
    } else if (v.units < 0) {
        if (parts.size() > 1 && !parts[1].empty()) {
            neg = parseSection(parts[1]);
            sec = &neg;
            r = roundedAbs(v, neg.maxDec);
        } else {
            minus = true;
        }
    }
    std::string out = minus ? "-" : "";
    out += sec->prefix;
    if (sec->hasDigits) out += digits(sec == &pos ? r : roundedAbs(v, sec->maxDec), *sec, sep);
    out += sec->suffix;
    return out;
}

const std::array<const char*, 12> kMonthsEn = {"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
const std::array<const char*, 12> kMonthsShortEn = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const std::array<const char*, 12> kMonthsFr = {"janvier",   "février", "mars",     "avril",
                                               "mai",       "juin",    "juillet",  "août",
                                               "septembre", "octobre", "novembre", "décembre"};
const std::array<const char*, 12> kMonthsShortFr = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                                    "juil.", "août",  "sept.", "oct.", "nov.", "déc."};
const std::array<const char*, 7> kDaysEn = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
const std::array<const char*, 7> kDaysShortEn = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const std::array<const char*, 7> kDaysFr = {"lundi",    "mardi",  "mercredi", "jeudi",
                                            "vendredi", "samedi", "dimanche"};
const std::array<const char*, 7> kDaysShortFr = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string pad2(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

std::size_t runLength(std::string_view s, std::size_t i) {
    std::size_t n = 1;
    while (i + n < s.size() && lower(s[i + n]) == lower(s[i]))
        ++n;
    return n;
}

bool startsWithNoCase(std::string_view s, std::size_t i, std::string_view what) {
    if (s.size() - i < what.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (lower(s[i + k]) != what[k]) return false;
    return true;
}

} // namespace

std::string MaskFormatter::formatMoney(Money m, std::string_view mask, NumberSeparators sep) {
    return formatScaled({m.raw(), 4}, mask.empty() ? std::string_view("0.00") : mask, sep);
}

std::string MaskFormatter::formatInteger(std::int64_t v, std::string_view mask, NumberSeparators sep) {
    if (mask.empty()) return std::to_string(v);
    return formatScaled({v, 0}, mask, sep);
}

std::string MaskFormatter::formatDouble(double v, std::string_view mask, NumberSeparators sep) {
    if (!std::isfinite(v)) return {};
    if (mask.empty()) {
        char buf[64];
        auto res = std::to_chars(buf, buf + sizeof buf, v);
        std::string out(buf, res.ptr);
        for (char& c : out)
            if (c == '.') c = sep.decimal;
        return out;
    }
    // Enough decimals for any mask; rounding to the mask happens in formatScaled.
    constexpr int kScale = 8;
    long double scaled = std::round(static_cast<long double>(v) * 1e8L);
    if (std::fabs(scaled) > 9.0e18L)
        return formatScaled({static_cast<std::int64_t>(std::llround(v)), 0}, mask, sep);
    return formatScaled({static_cast<std::int64_t>(scaled), kScale}, mask, sep);
}

std::string MaskFormatter::formatDateParts(Date d, int secs, bool hasTime, std::string_view mask) const {
    bool fr = opt_.language != 1;
    std::string out;
    bool lastWasHour = false;
    for (std::size_t i = 0; i < mask.size();) {
        char c = lower(mask[i]);
        if (mask[i] == '"' || mask[i] == '\'') {
            std::size_t end = mask.find(mask[i], i + 1);
            out += mask.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
            i = end == std::string_view::npos ? mask.size() : end + 1;
            continue;
        }
        if (startsWithNoCase(mask, i, "am/pm")) {
            out += (secs / 3600) < 12 ? "AM" : "PM";
            i += 5;
            continue;
        }
        std::size_t n = runLength(mask, i);
        bool isHour = false;
        switch (c) {
        case 'y':
            if (!d.isNull()) out += n >= 3 ? std::to_string(d.year()) : pad2(d.year() % 100);
            break;
        case 'm':
            if (lastWasHour && n <= 2) {
                out += n == 2 ? pad2(secs / 60 % 60) : std::to_string(secs / 60 % 60);
            } else if (!d.isNull()) {
                int m = d.month() - 1;
                if (n >= 4)
                    out +=
                        fr ? kMonthsFr[static_cast<std::size_t>(m)] : kMonthsEn[static_cast<std::size_t>(m)];
                else if (n == 3)
                    out += fr ? kMonthsShortFr[static_cast<std::size_t>(m)]
                              : kMonthsShortEn[static_cast<std::size_t>(m)];
                else
                    out += n == 2 ? pad2(d.month()) : std::to_string(d.month());
            }
            break;
        case 'd':
            if (!d.isNull()) {
                auto w = static_cast<std::size_t>(d.dayOfWeek() - 1);
                if (n >= 4)
                    out += fr ? kDaysFr[w] : kDaysEn[w];
                else if (n == 3)
                    out += fr ? kDaysShortFr[w] : kDaysShortEn[w];
                else
                    out += n == 2 ? pad2(d.day()) : std::to_string(d.day());
            }
            break;
        case 'h':
            isHour = true;
            if (hasTime) out += n >= 2 ? pad2(secs / 3600) : std::to_string(secs / 3600);
            break;
        case 'n':
            if (hasTime) out += n >= 2 ? pad2(secs / 60 % 60) : std::to_string(secs / 60 % 60);
            break;
        case 's':
            if (hasTime) out += n >= 2 ? pad2(secs % 60) : std::to_string(secs % 60);
            break;
        default:
            out.append(mask.substr(i, n));
            i += n;
            continue; // separators keep "hh:mm" reading mm as minutes
        }
        lastWasHour = isHour;
        i += n;
    }
    return out;
}

std::string MaskFormatter::formatDate(Date d, std::string_view mask) const {
    if (d.isNull()) return {};
    return formatDateParts(d, 0, false, mask.empty() ? std::string_view(opt_.dateMask) : mask);
}

std::string MaskFormatter::formatDateTime(DateTime dt, std::string_view mask) const {
    if (dt.isNull()) return {};
    std::string def = opt_.dateMask + " " + opt_.timeMask;
    return formatDateParts(dt.date(), dt.secondsOfDay(), true, mask.empty() ? std::string_view(def) : mask);
}

std::string MaskFormatter::formatTime(Time t, std::string_view mask) const {
    if (t.isNull()) return {};
    return formatDateParts(Date(), t.seconds(), true, mask.empty() ? std::string_view(opt_.timeMask) : mask);
}

std::string MaskFormatter::format(const Value& v, std::string_view mask) const {
    const auto& s = v.storage();
    if (std::holds_alternative<std::monostate>(s)) return {};
    const auto sep = NumberSeparators::of(opt_.language);
    if (auto* m = std::get_if<Money>(&s)) return formatMoney(*m, mask, sep);
    if (auto* i = std::get_if<std::int64_t>(&s)) return formatInteger(*i, mask, sep);
    if (auto* d = std::get_if<double>(&s)) return formatDouble(*d, mask, sep);
    if (auto* str = std::get_if<std::string>(&s)) return *str;
    if (auto* dt = std::get_if<Date>(&s)) return formatDate(*dt, mask);
    if (auto* dtt = std::get_if<DateTime>(&s)) return formatDateTime(*dtt, mask);
    if (auto* t = std::get_if<Time>(&s)) return formatTime(*t, mask);
    if (auto* b = std::get_if<bool>(&s)) {
        if (opt_.language == 1) return *b ? "True" : "False";
        return *b ? "Vrai" : "Faux";
    }
    return {};
}

} // namespace vm::report
