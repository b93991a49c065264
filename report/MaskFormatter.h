#pragma once
#include "engine/Value.h"

#include <string>
#include <string_view>

namespace vm::report {

// Formats values for printing with display masks.
//
// Number masks: up to three ';'-separated sections for positive, negative and
// zero values. In a section, '0' is a digit always shown, '#' a digit shown
// when significant, '.' the decimal point, ',' (anywhere in the number) turns
// on thousands grouping; text in quotes and any other character print as they
// stand, before or after the number. Without a negative section a negative
// value prints as '-' before the first section. Amounts round to the mask's
// decimals with halves away from zero, in exact arithmetic for money. Masks
// are written the English way in every language; the printed separators are
// those of the formatter's language (NumberSeparators).
//
// Date masks (letters in either case): d dd ddd dddd, m mm mmm mmmm, yy yyyy,
// h hh, n nn (minutes; m and mm right after an hour too), s ss, am/pm;
// quoted text and other characters print as they stand.
struct MaskOptions {
    int language = 1; // 1 English, otherwise French names and separators
    std::string dateMask = "dd/mm/yyyy";
    std::string timeMask = "hh:nn:ss";
};

// The separators a number prints with: English "1,000.50", French
// "1 000,50" (a plain space, as the windows show amounts).
struct NumberSeparators {
    char thousands = ',';
    char decimal = '.';
    static NumberSeparators of(int language) {
        return language == 1 ? NumberSeparators{} : NumberSeparators{' ', ','};
    }
};

class MaskFormatter {
public:
    MaskFormatter() = default;
    explicit MaskFormatter(MaskOptions o) : opt_(std::move(o)) {}

    // Any value: numbers and amounts with a number mask, dates and times with
    // a date mask (the default masks when mask is empty), text as it is.
    // A blank value prints as "".
    std::string format(const Value& v, std::string_view mask = {}) const;

    static std::string formatMoney(Money m, std::string_view mask, NumberSeparators sep = {});
    static std::string formatInteger(std::int64_t v, std::string_view mask, NumberSeparators sep = {});
    static std::string formatDouble(double v, std::string_view mask, NumberSeparators sep = {});
    std::string formatDate(Date d, std::string_view mask) const;
    std::string formatDateTime(DateTime dt, std::string_view mask) const;
    std::string formatTime(Time t, std::string_view mask) const;

private:
    std::string formatDateParts(Date d, int secondsOfDay, bool hasTime, std::string_view mask) const;
    MaskOptions opt_;
};

} // namespace vm::report
