#include "common/core/AmountInWords.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <array>

namespace vm {
namespace {

using Words = std::array<const char*, 10>;

struct WordTables {
    Words units, teens, tens;
};

// Index 0 of units and tens is empty; tens[1] is never used (teens instead).
const WordTables kEnglish{
    {"", "One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine"},
    {"Ten", "Eleven", "Twelve", "Thirteen", "Fourteen", "Fifteen", "Sixteen", "Seventeen", "Eighteen",
     "Nineteen"},
    {"", "Ten", "Twenty", "Thirty", "Forty", "Fifty", "Sixty", "Seventy", "Eighty", "Ninety"}};

// 70 and 90 are spelt as 60 and 80 followed by the teens ("Soixante- Onze").
const WordTables kFrench{
    {"", "Un", "Deux", "Trois", "Quatre", "Cinq", "Six", "Sept", "Huit", "Neuf"},
    {"Dix", "Onze", "Douze", "Treize", "Quatorze", "Quinze", "Seize", "Dix-sept", "Dix-huit", "Dix-neuf"},
    {"", "Dix", "Vingt", "Trente", "Quarante", "Cinquante", "Soixante", "Soixante-", "Quatre-vingt",
     "Quatre-vingt-"}};

constexpr std::int64_t kLargestSpelt = 999'999'999;

std::string cutToChars(const std::string& s, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && chars++ == n) return s.substr(0, i);
    }
    return s;
}

void englishGroups(std::string& t, const int d[10]) {
    const WordTables& L = kEnglish;
    if (d[9] > 0) t += std::string(" ") + L.units[d[9]] + " Hundred ";
    if (d[9] > 0 && d[8] == 0 && d[7] == 0) t += " Million ";
    if (d[8] == 1)
        t += std::string(" ") + L.teens[d[7]] + " Million ";
    else if (d[8] > 1)
        t += std::string(" ") + L.tens[d[8]] + " " + L.units[d[7]] + " Million ";
    else if (d[7] > 0)
        t += std::string(" ") + L.units[d[7]] + " Million ";

    if (d[6] > 0) t += std::string(" ") + L.units[d[6]] + " Hundred ";
    if (d[6] > 0 && d[5] == 0 && d[4] == 0) t += " Thousand ";
    if (d[5] == 1)
        t += std::string(" ") + L.teens[d[4]] + " Thousand ";
    else if (d[5] > 1)
        t += std::string(" ") + L.tens[d[5]] + " " + L.units[d[4]] + " Thousand ";
    else if (d[4] > 0)
        t += std::string(" ") + L.units[d[4]] + " Thousand ";

    if (d[3] > 0) t += std::string(" ") + L.units[d[3]] + " Hundred ";
    // "and" joins the last two digits to what precedes them, never opens the text.
    if (d[2] == 1) {
        t += t.empty() ? " " : " and ";
        t += L.teens[d[1]];
    } else {
        if (d[2] > 1) {
            t += t.empty() ? " " : " and ";
            t += L.tens[d[2]];
        }
        t += std::string(" ") + L.units[d[1]];
    }
}

// Tens and units of a French group: 71 "Soixante- Onze", 91 "Quatre-vingt- Onze".
std::string frenchTens(int tens, int unit) {
    const WordTables& L = kFrench;
    const bool teensAfter = tens == 7 || tens == 9;
    return std::string(" ") + L.tens[tens] + " " + (teensAfter ? L.teens[unit] : L.units[unit]);
}

void frenchGroups(std::string& t, const int d[10]) {
    const WordTables& L = kFrench;
    auto hundreds = [&](int digit) {
        if (digit > 1)
            t += std::string(" ") + L.units[digit] + " Cents ";
        else if (digit == 1)
            t += " Cent ";
    };
    hundreds(d[9]);
    if (d[9] > 0 && d[8] == 0 && d[7] == 0) t += " Million ";
    if (d[8] == 1)
        t += std::string(" ") + L.teens[d[7]] + " Million ";
    else if (d[8] > 1)
        t += frenchTens(d[8], d[7]) + " Million ";
    else if (d[7] > 0)
        t += std::string(" ") + L.units[d[7]] + " Million ";

    hundreds(d[6]);
    // "Mille" alone: one thousand is never "Un Mille".
    if (d[6] > 0 && d[5] == 0 && d[4] == 0) t += " Mille ";
    if (d[5] == 1)
        t += std::string(" ") + L.teens[d[4]] + " Mille ";
    else if (d[5] > 1)
        t += frenchTens(d[5], d[4]) + " Mille ";
    else if (d[4] == 1)
        t += " Mille ";
    else if (d[4] > 1)
        t += std::string(" ") + L.units[d[4]] + " Mille ";

    hundreds(d[3]);
    if (d[2] == 0)
        t += std::string(" ") + L.units[d[1]];
    else if (d[2] == 1)
        t += std::string(" ") + L.teens[d[1]];
    else if (d[2] <= 6 && d[1] == 1)
        t += std::string(" ") + L.tens[d[2]] + " et " + L.units[1];
    else
        t += frenchTens(d[2], d[1]);
}

} // namespace

CurrencyWords chequeCurrencyWords(Database& companyDb, int currency) {
    if (currency < 0 || currency > 4) currency = 0;
    Cursor ctrl(companyDb, "ctrl", true);
    if (!ctrl.first()) return {};
    const std::string n = std::to_string(currency + 1);
    return {ctrl.str("Ctrl_dollars" + n), ctrl.str("Ctrl_cents" + n)};
}

std::optional<std::string> amountInWords(Money amount, std::int32_t language, const CurrencyWords& words) {
    if (language < 0 || language > 2) return std::nullopt;
    const bool french = language == 2;
    const std::int64_t cents = amount.roundedToCents().raw() / 100;
    // The whole units come from the rounded amount: 12.995 is "Thirteen",
    // never "Twelve ... and 100 Cents".
    const std::int64_t units = cents / 100;
    const std::int64_t hundredths = cents % 100;
    if (amount < Money() || units > kLargestSpelt) return french ? "Non N\xC3\xA9gociable" : "Non Negociable";
    if (cents == 0) return std::string();
    if (units == 0) return cutToChars(std::to_string(hundredths) + " " + words.hundredth, kAmountWordsSize);

    int d[10] = {};
    std::int64_t rest = units;
    for (int i = 1; i <= 9; ++i, rest /= 10)
        d[i] = static_cast<int>(rest % 10);
    std::string t;
    if (french)
        frenchGroups(t, d);
    else
        englishGroups(t, d);
    t += " " + words.unit;
    if (hundredths > 0)
        t +=
            std::string(french ? " et " : " and ") + " " + std::to_string(hundredths) + " " + words.hundredth;
    return cutToChars(t, kAmountWordsSize);
}

} // namespace vm
