#pragma once
#include "common/core/RegionalSettings.h"
#include "engine/Money.h"

#include <optional>
#include <string>
#include <string_view>

namespace vm::core {

// Amounts as the screens and reports show them: rounded to cents (halves
// away from zero), thousands grouped, two decimals, a leading minus sign.
// "1,234.56", "-0.05"; an amount that rounds to zero has no sign.
std::string formatAmount(Money amount, const RegionalSettings& settings = RegionalSettings::current());

// formatAmount with the currency symbol, before or after the amount and
// never separated from it by a space: "$1,234.56", "-$1,234.56" with the
// symbol before; "1,234.56$", "-1,234.56$" after.
std::string formatMoney(Money amount, const RegionalSettings& settings = RegionalSettings::current());

// Reads what a user typed in an amount field: an optional sign, the
// currency symbol on either side, correct thousands grouping or none, the
// decimal separator and at most four decimals ("1,234.5", "$12", "-7.25$";
// French "1 234,5", where a point also marks the decimals and a no-break
// space also groups). Blanks around are ignored. Anything else (misplaced
// grouping, two signs, letters, an empty text, more than the money type
// holds) gives nullopt.
std::optional<Money> parseMoney(std::string_view text,
                                const RegionalSettings& settings = RegionalSettings::current());

} // namespace vm::core
