#pragma once
#include "engine/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace vm::core {

// Session language as the record carries it: 1 is English and every other
// value French, the test most of the suite makes.
inline bool isEnglish(int language) {
    return language == 1;
}

// Day and month names, English capitalised ("Tuesday", "Dec"), French in
// lower case as French writes them ("mardi", "déc."). dayOfWeek 1 = Monday
// ... 7 = Sunday; month 1..12; out of range gives "".
std::string dayName(int dayOfWeek, int language, bool abbreviated = false);
std::string monthName(int month, int language, bool abbreviated = false);

// Formats a date and time with a pattern of the form the captions use:
//   d dd ddd dddd   day, day with two digits, short and long day name
//   m mm mmm mmmm   month, two digits, short and long month name
//                   (m or mm right after an hour means minutes)
//   yy yyyy         year with two or four digits (y = yy, yyy = yyyy)
//   h hh  nn  ss    hour, minutes, seconds (n, s without the leading zero)
//   am/pm  a/p      12-hour clock, and the marker itself
//   "text" 'text'   copied as it stands
// Letters are recognised in either case; everything else is copied.
// "\"Welcome to Valmorand  \" dddd, mmmm d, yyyy " ->
// "Welcome to Valmorand  Tuesday, December 8, 2026 ". A blank date gives
// the literals only.
std::string formatDateTime(std::string_view pattern, const DateTime& when, int language = 1);
std::string formatDateTime(std::string_view pattern, const Date& date, int language = 1);

// A date in the short date format ("DD/MM/YYYY", "MM/DD/YYYY",
// "YYYY/MM/DD", ...); "" for a blank date.
std::string formatShortDate(const Date& date, std::string_view shortDateFormat);

// Reads a date typed in the short date format. The day, month and year are
// taken in the format's order from the runs of digits, whatever separates
// them; digits alone are cut by the format's field widths ("08122026"). A
// year of one or two digits falls in the hundred years centred on
// referenceYear (0 = this year): with 2026, "75" is 2075 and "76" 1976.
// A text with no digits (an empty mask "  /  /    ") is a blank date;
// anything that is not a real date gives nullopt.
std::optional<Date> parseShortDate(std::string_view text, std::string_view shortDateFormat,
                                   int referenceYear = 0);

// The same in the short date format of RegionalSettings::current().
std::string formatShortDate(const Date& date);
std::optional<Date> parseShortDate(std::string_view text);

} // namespace vm::core
