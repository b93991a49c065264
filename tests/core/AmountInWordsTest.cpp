#include "common/core/AmountInWords.h"

#include <gtest/gtest.h>

#include <string>

using vm::amountInWords;
using vm::CurrencyWords;
using vm::Money;

namespace {

const CurrencyWords kDollars{"Dollars", "Cents"};
constexpr int kEnglish = 1, kFrench = 2;

std::string words(const char* amount, int language, const CurrencyWords& w = kDollars) {
    return amountInWords(*Money::parse(amount), language, w).value_or("<untouched>");
}

} // namespace

// The stored text keeps the leading space and the doubled spaces: other
// programs print it as it stands.
TEST(AmountInWordsTest, ExamplesKeepTheirSpacingInBothLanguages) {
    EXPECT_EQ(words("1234.56", kEnglish),
              " One Thousand  Two Hundred  and Thirty Four Dollars and  56 Cents");
    EXPECT_EQ(words("1234.56", 0), words("1234.56", kEnglish));
    EXPECT_EQ(words("105", kEnglish), " One Hundred  Five Dollars");
    EXPECT_EQ(words("115", kEnglish), " One Hundred  and Fifteen Dollars");
    EXPECT_EQ(words("15", kEnglish), " Fifteen Dollars");
    EXPECT_EQ(words("21", kFrench), " Vingt et Un Dollars");
    EXPECT_EQ(words("21.50", kFrench), " Vingt et Un Dollars et  50 Cents");
    EXPECT_EQ(words("71", kFrench), " Soixante- Onze Dollars");
    EXPECT_EQ(words("91", kFrench), " Quatre-vingt- Onze Dollars");
    EXPECT_EQ(words("80", kFrench), " Quatre-vingt  Dollars");
    EXPECT_EQ(words("200000", kFrench), " Deux Cents  Mille   Dollars");
}

TEST(AmountInWordsTest, ZeroCentsNegativeAndOtherLanguages) {
    for (int language : {kEnglish, kFrench}) {
        EXPECT_EQ(words("0", language), "");
        EXPECT_EQ(words("0.0049", language), "");
        EXPECT_EQ(words("0.45", language), "45 Cents");
    }
    EXPECT_EQ(words("-0.01", kEnglish), "Non Negociable");
    EXPECT_EQ(words("-5000000", kFrench), "Non N\xC3\xA9gociable");
    EXPECT_EQ(words("12", 3), "<untouched>");
    EXPECT_EQ(words("12", -1), "<untouched>");
    EXPECT_EQ(words("12.50", kEnglish, {"Euros", "Centimes"}), " Twelve Euros and  50 Centimes");
}

// Rounding is to cents, halves away from zero, and the whole units are taken
// from the rounded amount (12.995 must not read "Twelve ... and 100 Cents").
TEST(AmountInWordsTest, RoundsToCentsBeforeSplittingUnitsAndCents) {
    EXPECT_EQ(words("0.005", kEnglish), "1 Cents");
    EXPECT_EQ(words("12.3449", kEnglish), " Twelve Dollars and  34 Cents");
    EXPECT_EQ(words("12.995", kEnglish), " Thirteen Dollars");
    EXPECT_EQ(words("0.995", kFrench), " Un Dollars");
}

// A billion or more cannot be spelt: the cheque is marked not negotiable
// rather than written for part of its amount. Long currency words are cut.
TEST(AmountInWordsTest, BillionRefusedAndTextCutTo240Characters) {
    EXPECT_EQ(words("999999999.99", kEnglish).substr(0, 13), " Nine Hundred");
    EXPECT_EQ(words("1000000000", kEnglish), "Non Negociable");
    EXPECT_EQ(words("1000000000", kFrench), "Non N\xC3\xA9gociable");
    std::string e;
    for (int i = 0; i < 300; ++i)
        e += "\xC3\xA9";
    std::string expected = " One ";
    for (int i = 0; i < 235; ++i)
        expected += "\xC3\xA9";
    EXPECT_EQ(words("1", kEnglish, {e, "Cents"}), expected); // 240 characters, no é split
}

// Amounts on each side of every group boundary, as the stored text.
TEST(AmountInWordsTest, GroupBoundariesInBothLanguages) {
    struct Row {
        const char* amount;
        const char* english;
        const char* french;
    };
    const Row rows[] = {
        {"9", " Nine Dollars", " Neuf Dollars"},
        {"10", " Ten Dollars", " Dix Dollars"},
        {"99", " Ninety Nine Dollars", " Quatre-vingt- Dix-neuf Dollars"},
        {"100", " One Hundred   Dollars", " Cent   Dollars"},
        {"999", " Nine Hundred  and Ninety Nine Dollars", " Neuf Cents  Quatre-vingt- Dix-neuf Dollars"},
        {"1000", " One Thousand   Dollars", " Mille   Dollars"},
        {"1001", " One Thousand  One Dollars", " Mille  Un Dollars"},
        {"99999", " Ninety Nine Thousand  Nine Hundred  and Ninety Nine Dollars",
         " Quatre-vingt- Dix-neuf Mille  Neuf Cents  Quatre-vingt- Dix-neuf Dollars"},
        {"100000", " One Hundred  Thousand   Dollars", " Cent  Mille   Dollars"},
        {"999999", " Nine Hundred  Ninety Nine Thousand  Nine Hundred  and Ninety Nine Dollars",
         " Neuf Cents  Quatre-vingt- Dix-neuf Mille  Neuf Cents  Quatre-vingt- Dix-neuf Dollars"},
        {"1000000", " One Million   Dollars", " Un Million   Dollars"},
        {"10000000", " Ten Million   Dollars", " Dix Million   Dollars"},
        {"100000000", " One Hundred  Million   Dollars", " Cent  Million   Dollars"},
        {"999999999",
         " Nine Hundred  Ninety Nine Million  Nine Hundred  Ninety Nine Thousand  Nine Hundred  and Ninety "
         "Nine "
         "Dollars",
         " Neuf Cents  Quatre-vingt- Dix-neuf Million  Neuf Cents  Quatre-vingt- Dix-neuf Mille  Neuf Cents  "
         "Quatre-vingt- Dix-neuf Dollars"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(words(r.amount, kEnglish), r.english) << r.amount;
        EXPECT_EQ(words(r.amount, kFrench), r.french) << r.amount;
    }
}
