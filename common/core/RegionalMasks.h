#pragma once
#include <string>
#include <string_view>

namespace vm::core {

struct RegionalSettings;

// Edit mask for date entry built from the short date format: every D, M or
// Y (either case) becomes "9", "!" goes in front and ";1; " after, so the
// separators are kept in the text and blanks show as spaces.
// "DD/MM/YYYY" -> "!99/99/9999;1; ".
std::string dateEditMask(std::string_view shortDateFormat);

// The designed date masks that follow the workstation's date format; any
// other mask of a form is left as designed.
bool isReplaceableDateMask(std::string_view mask);

// A report amount mask designed with "$" in front follows the workstation's
// currency symbol and placement: symbol + rest, or rest + symbol. Masks
// that do not begin with "$" are returned unchanged.
std::string currencyMask(std::string_view designedMask, const RegionalSettings& settings);

} // namespace vm::core
