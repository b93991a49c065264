#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <QString>

#include <optional>

namespace vm::forms {

// How the forms show and read dates, amounts and rates: the regional
// settings in force (vm::core::RegionalSettings::current(), whose
// separators follow the session's language), as Qt strings.
class DisplayFormat {
public:
    // "$1,234.50" / "1,234.50$", negative "-$1,234.50" / "-1,234.50$";
    // French "$1 234,50" / "1 234,50$".
    static QString money(Money m);
    // Plain digits for editing an amount: "-1234.50" (French "-1234,50").
    static QString moneyForEdit(Money m);
    // What money() or moneyForEdit() wrote, or an amount typed with or
    // without symbol and grouping. Nothing for anything else.
    static std::optional<Money> parseMoney(const QString& text);

    // A rate or other real number with the decimal separator: "1.345",
    // French "1,345".
    static QString number(double value);
    // A real number typed with either decimal mark; nothing for anything
    // else (an empty text included).
    static std::optional<double> parseNumber(const QString& text);

    // The date in the short date format; "" for a blank date.
    static QString date(Date d);
    // A date typed in the short date format; a text without any digit is a
    // blank date; nothing when the text is not a real date.
    static std::optional<Date> parseDate(const QString& text);
    // The input mask of date edits, from the regional date edit mask
    // ("!99/99/9999;1; " becomes "99/99/9999; ").
    static QString dateInputMask();
    // Converts an edit mask of the designed form ("!99/99/9999;1; ") to a
    // QLineEdit input mask.
    static QString inputMaskOf(const QString& editMask);
};

} // namespace vm::forms
