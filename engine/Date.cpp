#include "engine/Date.h"

#include <cstdio>
#include <ctime>

namespace vm {

namespace {
// Days from 1970-01-01 to a civil date, proleptic Gregorian.
std::int32_t daysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int>(doe) - 719468;
}

void civilFromDays(std::int32_t z, int& y, int& m, int& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int yy = static_cast<int>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yy + (m <= 2);
}

bool parseInt(std::string_view s, int& out) {
    if (s.empty()) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}
} // namespace

Date Date::fromYmd(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1 || year > 9999) return Date();
    Date d = fromDays(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)));
    if (d.month() != month) return Date(); // 31 April and the like
    return d;
}

Date Date::today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return fromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::optional<Date> Date::fromIso(std::string_view text) {
    if (text.empty()) return Date();
    int y, m, d;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !parseInt(text.substr(0, 4), y) ||
        !parseInt(text.substr(5, 2), m) || !parseInt(text.substr(8, 2), d))
        return std::nullopt;
    Date r = fromYmd(y, m, d);
    if (r.isNull()) return std::nullopt;
    return r;
}

int Date::year() const {
    int y, m, d;
    civilFromDays(days_, y, m, d);
    return y;
}
int Date::month() const {
    int y, m, d;
    civilFromDays(days_, y, m, d);
    return m;
}
int Date::day() const {
    int y, m, d;
    civilFromDays(days_, y, m, d);
    return d;
}
int Date::dayOfWeek() const {
    // 1970-01-01 was a Thursday (4).
    int w = (days_ % 7 + 7) % 7; // 0 = Thursday
    return (w + 3) % 7 + 1;
}

std::string Date::toIso() const {
    if (!valid_) return {};
    int y, m, d;
    civilFromDays(days_, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

DateTime DateTime::now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime(Date::fromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                    tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec);
}

std::optional<DateTime> DateTime::fromIso(std::string_view text) {
    if (text.empty()) return DateTime();
    auto d = Date::fromIso(text.substr(0, 10));
    if (!d || d->isNull()) return std::nullopt;
    if (text.size() == 10) return DateTime(*d, 0);
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T')) return std::nullopt;
    auto t = Time::fromIso(text.substr(11));
    if (!t || t->isNull()) return std::nullopt;
    return DateTime(*d, t->seconds());
}

std::string DateTime::toIso() const {
    if (isNull()) return {};
    return date_.toIso() + " " + Time::fromSeconds(secs_).toIso();
}

std::optional<Time> Time::fromIso(std::string_view text) {
    if (text.empty()) return Time();
    int h, m, s;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !parseInt(text.substr(0, 2), h) ||
        !parseInt(text.substr(3, 2), m) || !parseInt(text.substr(6, 2), s) || h > 23 || m > 59 || s > 59)
        return std::nullopt;
    return fromSeconds(h * 3600 + m * 60 + s);
}

std::string Time::toIso() const {
    if (!valid_) return {};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs_ / 3600, secs_ / 60 % 60, secs_ % 60);
    return buf;
}

} // namespace vm
