#pragma once
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

// A calendar date, or blank. Stored and compared as days since 1970-01-01.
class Date {
public:
    constexpr Date() = default;                        // blank
    static Date fromYmd(int year, int month, int day); // blank when not a real date
    static constexpr Date fromDays(std::int32_t days) {
        Date d;
        d.days_ = days;
        d.valid_ = true;
        return d;
    }
    static Date today();
    // "YYYY-MM-DD"; blank for an empty text; nullopt for anything else.
    static std::optional<Date> fromIso(std::string_view text);

    constexpr bool isNull() const { return !valid_; }
    constexpr std::int32_t days() const { return days_; }
    int year() const;
    int month() const;
    int day() const;
    // 1 = Monday ... 7 = Sunday.
    int dayOfWeek() const;
    Date addDays(int n) const { return valid_ ? fromDays(days_ + n) : Date(); }
    // Days from other to this (this - other); both must be set.
    int daysSince(Date other) const { return days_ - other.days_; }
    std::string toIso() const; // "" when blank

    constexpr bool operator==(const Date& o) const {
        return valid_ == o.valid_ && (!valid_ || days_ == o.days_);
    }
    // Blank sorts before every date, as in the tables' indexes.
    constexpr std::strong_ordering operator<=>(const Date& o) const {
        if (valid_ != o.valid_) return valid_ ? std::strong_ordering::greater : std::strong_ordering::less;
        return valid_ ? days_ <=> o.days_ : std::strong_ordering::equal;
    }

private:
    std::int32_t days_ = 0;
    bool valid_ = false;
};

// A date and a time of day to the second, or blank.
class DateTime {
public:
    constexpr DateTime() = default;
    DateTime(Date d, int secondsOfDay) : date_(d), secs_(secondsOfDay) {}
    static DateTime now();                                         // local time
    static std::optional<DateTime> fromIso(std::string_view text); // "YYYY-MM-DD HH:MM:SS"
    bool isNull() const { return date_.isNull(); }
    Date date() const { return date_; }
    int secondsOfDay() const { return secs_; }
    std::string toIso() const;
    bool operator==(const DateTime&) const = default;
    auto operator<=>(const DateTime&) const = default;

private:
    Date date_;
    int secs_ = 0;
};

// A time of day to the second, or blank.
class Time {
public:
    constexpr Time() = default;
    static Time fromSeconds(int s) {
        Time t;
        t.secs_ = s;
        t.valid_ = true;
        return t;
    }
    static std::optional<Time> fromIso(std::string_view text); // "HH:MM:SS"
    bool isNull() const { return !valid_; }
    int seconds() const { return secs_; }
    std::string toIso() const;
    bool operator==(const Time&) const = default;

private:
    int secs_ = 0;
    bool valid_ = false;
};

} // namespace vm
