#include "report/MaskFormatter.h"
#include "report/CurrencyMask.h"
#include "report/Report.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::report;

TEST(MaskFormatter, NumberMasks) {
    const char* money = "$#,##0.00;-$#,##0.00";
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromCents(123456789), money), "$1,234,567.89");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromCents(-123456789), money), "-$1,234,567.89");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromCents(5), money), "$0.05");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromCents(99999), "#,##0.00"), "999.99");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromCents(100000), "#,##0.00"), "1,000.00");
    // Halves away from zero, in exact arithmetic; no "-0.00".
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromRaw(50), "0.00"), "0.01");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromRaw(-50), "0.00"), "-0.01");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromRaw(-49), "0.00"), "0.00");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromRaw(12345), "0.0000"), "1.2345");
    // Negative without its own section; with parentheses; zero section.
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(-3), "#,##0.00 $"), "-3.00 $");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(-3), "#,##0.00;(#,##0.00)"), "(3.00)");
    EXPECT_EQ(MaskFormatter::formatMoney(Money(), "#,##0.00;-#,##0.00;''"), "");
    EXPECT_EQ(MaskFormatter::formatMoney(Money(), "#,##0.00;-#,##0.00;\"nil\""), "nil");
    // Optional digits and quoted text.
    EXPECT_EQ(MaskFormatter::formatDouble(0.5, "#.##"), ".5");
    EXPECT_EQ(MaskFormatter::formatDouble(2.0, "0.##"), "2");
    EXPECT_EQ(MaskFormatter::formatDouble(12.345, "0.0 'days'"), "12.3 days");
    EXPECT_EQ(MaskFormatter::formatInteger(7, "000"), "007");
    EXPECT_EQ(MaskFormatter::formatInteger(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(MaskFormatter::formatInteger(-999, "#,##0"), "-999");
}

TEST(MaskFormatter, DatesTimesAndBlanks) {
    MaskFormatter en;
    MaskFormatter fr(MaskOptions{2, "yyyy-mm-dd", "hh:nn"});
    Date d = Date::fromYmd(2026, 3, 7); // a Saturday
    EXPECT_EQ(en.formatDate(d, "dd/mm/yyyy"), "07/03/2026");
    EXPECT_EQ(en.formatDate(d, "DD/MM/YYYY"), "07/03/2026");
    EXPECT_EQ(en.formatDate(d, "dddd, mmmm d, yyyy"), "Saturday, March 7, 2026");
    EXPECT_EQ(en.formatDate(d, "d-mmm-yy"), "7-Mar-26");
    EXPECT_EQ(fr.formatDate(d, "dddd d mmmm yyyy"), "samedi 7 mars 2026");
    EXPECT_EQ(fr.format(Value(Date::fromYmd(2026, 8, 15))), "2026-08-15");
    EXPECT_EQ(en.formatDate(d, "\"Due\" mm/yyyy"), "Due 03/2026");
    EXPECT_EQ(en.formatTime(Time::fromSeconds(13 * 3600 + 5 * 60 + 9), "hh:mm:ss"), "13:05:09");
    EXPECT_EQ(fr.format(Value(Time::fromSeconds(8 * 3600 + 30 * 60))), "08:30");
    EXPECT_EQ(en.format(Value(DateTime(d, 3600)), "yyyy-mm-dd hh:nn"), "2026-03-07 01:00");
    EXPECT_EQ(en.format(Value()), "");
    EXPECT_EQ(en.format(Value(Date())), "");
    EXPECT_EQ(en.format(Value("text"), "#,##0.00"), "text");
    EXPECT_EQ(en.format(Value(true)), "True");
    EXPECT_EQ(fr.format(Value(false)), "Faux");
}

TEST(CurrencyMask, SymbolBeforeOrAfterInEverySection) {
    EXPECT_EQ(rewriteCurrencyMask("$#,##0.00", "$", true), "$#,##0.00");
    EXPECT_EQ(rewriteCurrencyMask("$#,##0.00", "$", false), "#,##0.00$");
    EXPECT_EQ(rewriteCurrencyMask("$#,##0.00", "€", true), "€#,##0.00");
    // The negative section carries the same symbol, and after the amount
    // the sign leads: -1.00$.
    EXPECT_EQ(rewriteCurrencyMask("$#,##0.00;-$#,##0.00", "€", true), "€#,##0.00;-€#,##0.00");
    EXPECT_EQ(rewriteCurrencyMask("$#,##0.00;-$#,##0.00", "$", false), "#,##0.00$;-#,##0.00$");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(-1),
                                         rewriteCurrencyMask("$#,##0.00;-$#,##0.00", "$", false)),
              "-1.00$");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(-1), rewriteCurrencyMask("$#,##0.00", "$", false)),
              "-1.00$");
    // Masks not beginning with "$" are the designer's own; a symbol made of
    // mask characters is quoted so it prints as it is.
    EXPECT_EQ(rewriteCurrencyMask("#,##0.00", "€", false), "#,##0.00");
    EXPECT_EQ(rewriteCurrencyMask("$0.00", "Fr.", true), "\"Fr.\"0.00");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(2), rewriteCurrencyMask("$0.00", "Fr.", true)),
              "Fr.2.00");
    EXPECT_EQ(MaskFormatter::formatMoney(Money::fromUnits(2), rewriteCurrencyMask("$0.00", " ", true)),
              " 2.00");

    Report r;
    r.detail().add(ReportItem::fieldItem("a", "a", 0, 0, 10, 10, Alignment::Right, "$#,##0.00"));
    r.summary().add(ReportItem::fieldItem("b", "b", 0, 0, 10, 10, Alignment::Right, "#,##0.00"));
    r.pageFooter().add(ReportItem::fieldItem("c", "c", 0, 0, 10, 10, Alignment::Right, "$0.00;($0.00)"));
    EXPECT_EQ(r.applyCurrency("£", false), 2);
    EXPECT_EQ(r.findItem("a")->mask, "#,##0.00£");
    EXPECT_EQ(r.findItem("b")->mask, "#,##0.00");
    EXPECT_EQ(r.findItem("c")->mask, "0.00£;(0.00£)");
}
