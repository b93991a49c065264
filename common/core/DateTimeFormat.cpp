#include "common/core/DateTimeFormat.h"

#include "common/core/RegionalSettings.h"

#include <array>
#include <vector>

namespace vm::core {
namespace {

constexpr std::array<const char*, 7> kDaysEn = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, 7> kDaysEnShort = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 7> kDaysFr = {"lundi",    "mardi",  "mercredi", "jeudi",
                                                "vendredi", "samedi", "dimanche"};
constexpr std::array<const char*, 7> kDaysFrShort = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};
constexpr std::array<const char*, 12> kMonthsEn = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
constexpr std::array<const char*, 12> kMonthsEnShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> kMonthsFr = {"janvier",   "février", "mars",     "avril",
                                                   "mai",       "juin",    "juillet",  "août",
                                                   "septembre", "octobre", "novembre", "décembre"};
constexpr std::array<const char*, 12> kMonthsFrShort = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                                        "juil.", "août",  "sept.", "oct.", "nov.", "déc."};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string number(int value, int width) {
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < width)
        s.insert(s.begin(), '0');
    return s;
}

bool startsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(s[at + i]) != word[i]) return false;
    return true;
}

bool hasAmPm(std::string_view pattern) {
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (startsWithNoCase(pattern, i, "am/pm") || startsWithNoCase(pattern, i, "a/p")) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string dayName(int dayOfWeek, int language, bool abbreviated) {
    if (dayOfWeek < 1 || dayOfWeek > 7) return {};
    const auto& names =
        isEnglish(language) ? (abbreviated ? kDaysEnShort : kDaysEn) : (abbreviated ? kDaysFrShort : kDaysFr);
    return names[static_cast<std::size_t>(dayOfWeek - 1)];
}

std::string monthName(int month, int language, bool abbreviated) {
    if (month < 1 || month > 12) return {};
    const auto& names = isEnglish(language) ? (abbreviated ? kMonthsEnShort : kMonthsEn)
                                            : (abbreviated ? kMonthsFrShort : kMonthsFr);
    return names[static_cast<std::size_t>(month - 1)];
}

std::string formatDateTime(std::string_view pattern, const DateTime& when, int language) {
    const bool blank = when.isNull();
    const Date date = when.date();
    const int secs = when.secondsOfDay();
    const int hour = secs / 3600, minute = secs / 60 % 60, second = secs % 60;
    const bool twelveHour = hasAmPm(pattern);

    std::string out;
    bool afterHour = false; // an m right after an hour is minutes
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? end : end + 1;
            continue;
        }
        const char l = lower(c);
        if (l == 'a' && (startsWithNoCase(pattern, i, "am/pm") || startsWithNoCase(pattern, i, "a/p"))) {
            const bool full = startsWithNoCase(pattern, i, "am/pm");
            const bool upper = c == 'A';
            if (!blank) {
                std::string marker = full ? (hour < 12 ? "am" : "pm") : (hour < 12 ? "a" : "p");
                if (upper)
                    for (char& m : marker)
                        m = static_cast<char>(m - 'a' + 'A');
                out += marker;
            }
            i += full ? 5 : 3;
            continue;
        }
        if (l != 'd' && l != 'm' && l != 'y' && l != 'h' && l != 'n' && l != 's') {
            out += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == l)
            ++run;
        i += run;
        const int width = run >= 2 ? 2 : 1;
        if (l == 'h') {
            afterHour = true;
            if (!blank) {
                int h = hour;
                if (twelveHour) h = hour % 12 == 0 ? 12 : hour % 12;
                out += number(h, width);
            }
            continue;
        }
        if (l == 'n' || (l == 'm' && afterHour)) {
            afterHour = false;
            if (!blank) out += number(minute, width);
            continue;
        }
        if (l == 's') {
            if (!blank) out += number(second, width);
            continue;
        }
        afterHour = false;
        if (blank) continue;
        if (l == 'd') {
            if (run <= 2)
                out += number(date.day(), width);
            else
                out += dayName(date.dayOfWeek(), language, run == 3);
        } else if (l == 'm') {
            if (run <= 2)
                out += number(date.month(), width);
            else
                out += monthName(date.month(), language, run == 3);
        } else { // y
            if (run <= 2)
                out += number(date.year() % 100, 2);
            else
                out += number(date.year(), 4);
        }
    }
    return out;
}

std::string formatDateTime(std::string_view pattern, const Date& date, int language) {
    return formatDateTime(pattern, DateTime(date, 0), language);
}

std::string formatShortDate(const Date& date, std::string_view shortDateFormat) {
    if (date.isNull()) return {};
    return formatDateTime(shortDateFormat, date, 1);
}

std::optional<Date> parseShortDate(std::string_view text, std::string_view shortDateFormat,
                                   int referenceYear) {
    // The format's fields in order, with their widths.
    struct Field {
        char kind;
        std::size_t width;
    };
    std::vector<Field> fields;
    for (std::size_t i = 0; i < shortDateFormat.size();) {
        const char l = lower(shortDateFormat[i]);
        std::size_t run = 1;
        while (i + run < shortDateFormat.size() && lower(shortDateFormat[i + run]) == l)
            ++run;
        if (l == 'd' || l == 'm' || l == 'y')
            fields.push_back({l, l == 'y' && run > 2 ? std::size_t{4} : std::size_t{2}});
        i += run;
    }
    if (fields.size() != 3) return std::nullopt;

    std::vector<std::string> groups;
    bool inGroup = false;
    for (char c : text) {
        if (isDigit(c)) {
            if (!inGroup) groups.emplace_back();
            groups.back() += c;
            inGroup = true;
        } else {
            inGroup = false;
        }
    }
    if (groups.empty()) return Date();
    if (groups.size() == 1) {
        const std::string all = groups.front();
        std::size_t total = 0;
        for (const Field& f : fields)
            total += f.width;
        if (all.size() != total) return std::nullopt;
        groups.clear();
        std::size_t at = 0;
        for (const Field& f : fields) {
            groups.push_back(all.substr(at, f.width));
            at += f.width;
        }
    }
    if (groups.size() != 3) return std::nullopt;

    int day = 0, month = 0, year = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string& g = groups[k];
        if (g.size() > (fields[k].kind == 'y' ? 4u : 2u)) return std::nullopt;
        const int v = std::stoi(g);
        if (fields[k].kind == 'd')
            day = v;
        else if (fields[k].kind == 'm')
            month = v;
        else if (g.size() <= 2) {
            const int ref = referenceYear != 0 ? referenceYear : Date::today().year();
            year = ref - ref % 100 + v;
            if (year > ref + 49)
                year -= 100;
            else if (year < ref - 50)
                year += 100;
        } else {
            year = v;
        }
    }
    if (year < 1 || year > 9999) return std::nullopt;
    const Date d = Date::fromYmd(year, month, day);
    if (d.isNull()) return std::nullopt;
    return d;
}

std::string formatShortDate(const Date& date) {
    return formatShortDate(date, RegionalSettings::current().dateFormat);
}

std::optional<Date> parseShortDate(std::string_view text) {
    return parseShortDate(text, RegionalSettings::current().dateFormat);
}

} // namespace vm::core
