#pragma once
#include "engine/Money.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

class Database;

// The words printed after the amount on a cheque of one currency: the unit
// ("Dollars") and the hundredth ("Cents").
struct CurrencyWords {
    std::string unit;
    std::string hundredth;
};

// Reads Ctrl_dollarsN / Ctrl_centsN (N = currency + 1) from the company's
// ctrl row at every call, so that a change of the settings shows at once.
// A currency outside 0..4 takes the company's own currency's words.
// Throws EngineError when ctrl cannot be read.
CurrencyWords chequeCurrencyWords(Database& companyDb, int currency);

// The longest amount in words a cheque entry stores (Apchqh_desc).
constexpr int kAmountWordsSize = 240;

// The cheque amount written out in words, exactly as Apchqh_desc stores it
// (other programs read that text, so its leading space and the doubled
// spaces between groups are kept):
//   1234.56 -> " One Thousand  Two Hundred  and Thirty Four Dollars and  56 Cents"
//   21 (French) -> " Vingt et Un Dollars"
// language: 0 or 1 English, 2 French; any other value returns nullopt and
// the caller leaves the stored text as it is.
// The amount is first rounded to cents (halves away from zero); zero gives
// an empty text, less than one unit "45 Cents". A negative amount gives
// "Non Negociable" / "Non Négociable" (UTF-8): such a cheque may not be
// issued. So does an amount of a billion or more, which the words cannot
// spell: a cheque is never written with words for part of its amount.
// The text is cut to kAmountWordsSize characters.
std::optional<std::string> amountInWords(Money amount, std::int32_t language, const CurrencyWords& words);

} // namespace vm
