#include "common/core/DateTimeFormat.h"
#include "common/core/MoneyFormat.h"
#include "common/core/RegionalMasks.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>

using namespace vm::core;
using vm::Date;
using vm::DateTime;
using vm::Money;

namespace {

RegionalSettings symbolAfter(std::string symbol = "$") {
    RegionalSettings rs;
    rs.currencySymbol = std::move(symbol);
    rs.currencyAlign = "R";
    return rs;
}

} // namespace

TEST(RegionalSettings, ReadsTheWizardsValuesAndDefaults) {
    const auto path =
        std::filesystem::temp_directory_path() / ("vm-regional-" + std::to_string(::getpid()) + ".ini");
    std::filesystem::remove(path);
    SettingsStore store(path.string());

    RegionalSettings rs = RegionalSettings::read(store);
    EXPECT_EQ(rs.dateFormat, "DD/MM/YYYY");
    EXPECT_EQ(rs.currencySymbol, "$");
    EXPECT_TRUE(rs.symbolBefore());
    EXPECT_FALSE(rs.international());

    // What the setup wizard writes ("Intl" is read as "intl").
    store.write("Settings", "DateFmt", "yyyy/mm/dd");
    store.write("Settings", "CurrSmbl", "€");
    store.write("Settings", "Intl", "y");
    store.write("Settings", "CurrAlign", "R");
    rs = RegionalSettings::loadCurrent(store);
    EXPECT_EQ(rs.dateFormat, "yyyy/mm/dd");
    EXPECT_EQ(rs.currencySymbol, "€");
    EXPECT_FALSE(rs.symbolBefore());
    EXPECT_TRUE(rs.international());
    EXPECT_EQ(RegionalSettings::current().currencySymbol, "€");

    store.write("Settings", "CurrAlign", "l");
    EXPECT_TRUE(RegionalSettings::read(store).symbolBefore());

    // A format that cannot show a date falls back to the default.
    store.write("Settings", "DateFmt", "");
    EXPECT_EQ(RegionalSettings::read(store).dateFormat, "DD/MM/YYYY");
    store.write("Settings", "DateFmt", "MM/YYYY");
    EXPECT_EQ(RegionalSettings::read(store).dateFormat, "DD/MM/YYYY");
    std::filesystem::remove(path);
    RegionalSettings::setCurrent(RegionalSettings());
}

TEST(RegionalMasks, DateMaskFollowsEachFormat) {
    EXPECT_EQ(dateEditMask("DD/MM/YYYY"), "!99/99/9999;1; ");
    EXPECT_EQ(dateEditMask("mm/dd/yyyy"), "!99/99/9999;1; ");
    EXPECT_EQ(dateEditMask("yyyy/mm/dd"), "!9999/99/99;1; ");
    EXPECT_EQ(dateEditMask("d-M-yy"), "!9-9-99;1; ");

    for (const char* designed : {"99/99/9999", "9999/99/99", "!99/99/9999", "!99/99/9999;1; "})
        EXPECT_TRUE(isReplaceableDateMask(designed)) << designed;
    for (const char* other : {"", "999-999-9999", "!99/99/9999;0; ", "!9999/99/99;1; ", "99/99/99"})
        EXPECT_FALSE(isReplaceableDateMask(other)) << other;
}

TEST(RegionalMasks, CurrencyMaskMovesTheSymbol) {
    RegionalSettings before;
    before.currencySymbol = "£";
    EXPECT_EQ(currencyMask("$#,##0.00", before), "£#,##0.00");
    EXPECT_EQ(currencyMask("$#,##0.00;-$#,##0.00", symbolAfter()), "#,##0.00;-$#,##0.00$");
    EXPECT_EQ(currencyMask("$#,##0.00", symbolAfter(" €")), "#,##0.00 €");
    EXPECT_EQ(currencyMask("#,##0.00", symbolAfter()), "#,##0.00");
    EXPECT_EQ(currencyMask("", before), "");
}

TEST(MoneyFormat, ShowsSymbolSignAndCents) {
    const RegionalSettings before;
    const RegionalSettings after = symbolAfter();
    EXPECT_EQ(formatMoney(Money::fromCents(123456), before), "$1,234.56");
    EXPECT_EQ(formatMoney(Money::fromCents(-123456), before), "-$1,234.56");
    EXPECT_EQ(formatMoney(Money::fromCents(123456), after), "1,234.56$");
    EXPECT_EQ(formatMoney(Money::fromCents(-123456), after), "-1,234.56$");
    EXPECT_EQ(formatMoney(Money(), before), "$0.00");

    EXPECT_EQ(formatAmount(Money::fromCents(100), before), "1.00");
    EXPECT_EQ(formatAmount(Money::fromUnits(999), before), "999.00");
    EXPECT_EQ(formatAmount(Money::fromUnits(1000), before), "1,000.00");
    EXPECT_EQ(formatAmount(Money::fromUnits(-1234567), before), "-1,234,567.00");
    // Cents are rounded half away from zero, and what rounds to zero has no sign.
    EXPECT_EQ(formatAmount(Money::fromRaw(12350), before), "1.24");
    EXPECT_EQ(formatAmount(Money::fromRaw(-12350), before), "-1.24");
    EXPECT_EQ(formatAmount(Money::fromRaw(12349), before), "1.23");
    EXPECT_EQ(formatAmount(Money::fromRaw(-49), before), "0.00");

    RegionalSettings french;
    french.thousandsSeparator = ' ';
    french.decimalSeparator = ',';
    french.currencyAlign = "R";
    EXPECT_EQ(formatMoney(Money::fromCents(-123456789), french), "-1 234 567,89$");
}

TEST(MoneyFormat, ReadsWhatTheUserTyped) {
    const RegionalSettings rs;
    auto parsed = [&](const char* text) { return parseMoney(text, rs); };
    EXPECT_EQ(parsed("1,234.56"), Money::fromCents(123456));
    EXPECT_EQ(parsed("  $1234.5 "), Money::fromCents(123450));
    EXPECT_EQ(parsed("-$12"), Money::fromUnits(-12));
    EXPECT_EQ(parsed("$-12"), Money::fromUnits(-12));
    EXPECT_EQ(parsed("7.25$"), Money::fromCents(725));
    EXPECT_EQ(parsed(".5"), Money::fromCents(50));
    EXPECT_EQ(parsed("1,234,567.1234"), Money::fromRaw(12345671234));
    for (const char* bad :
         {"", "$", "-", "1,23", "12,3456", ",123", "1.2.3", "--5", "-$-5", "12a", "1.23456", "."})
        EXPECT_FALSE(parsed(bad).has_value()) << bad;
    RegionalSettings french;
    french.useLanguage(2);
    EXPECT_EQ(parseMoney("1 234,5", french), Money::fromCents(123450));
    EXPECT_EQ(parseMoney("1\u00a0234,5 $", french), Money::fromCents(123450)); // no-break space
    EXPECT_EQ(parseMoney("1000.50", french), Money::fromCents(100050));        // a point marks decimals too
    EXPECT_FALSE(parseMoney("1000,50", rs).has_value()) << "a misplaced English grouping";
}

// The money type holds 922,337,203,685,477.5807 at most: one digit more
// used to wrap to a large negative amount.
TEST(MoneyFormat, RefusesWhatTheMoneyTypeCannotHold) {
    EXPECT_FALSE(Money::parse("922337203685478").has_value());
    EXPECT_FALSE(Money::parse("-922337203685477.5808").has_value());
    EXPECT_EQ(Money::parse("922337203685477.5807"), Money::fromRaw(INT64_MAX));
    EXPECT_FALSE(parseMoney("922,337,203,685,478", RegionalSettings()).has_value());
    EXPECT_EQ(parseMoney("-922,337,203,685,477", RegionalSettings()), Money::fromUnits(-922337203685477));
}

TEST(DateTimeFormat, CaptionsInBothLanguages) {
    const DateTime when(Date::fromYmd(2026, 12, 8), 14 * 3600 + 5 * 60 + 9);
    // The blank after the quoted text belongs to the pattern too.
    EXPECT_EQ(formatDateTime("\"Welcome to Valmorand  \" dddd, mmmm d, yyyy ", when, 1),
              "Welcome to Valmorand   Tuesday, December 8, 2026 ");
    EXPECT_EQ(formatDateTime("\"Bienvenue à Valmorand  \" dddd, d mmmm yyyy ", when, 2),
              "Bienvenue à Valmorand   mardi, 8 décembre 2026 ");
    EXPECT_EQ(formatDateTime("\"Bienvenue à Valmorand/Tollmere  \" dddd, d mmmm yyyy ", when, 0),
              "Bienvenue à Valmorand/Tollmere   mardi, 8 décembre 2026 ");

    const DateTime early(Date::fromYmd(2027, 2, 1), 9 * 3600 + 7 * 60);
    EXPECT_EQ(formatDateTime("ddd dd/mm/yy mmm", early, 1), "Mon 01/02/27 Feb");
    EXPECT_EQ(formatDateTime("ddd d mmm yyyy", early, 2), "lun. 1 févr. 2027");
    EXPECT_EQ(formatDateTime("DDDD MMMM", Date::fromYmd(2026, 8, 16), 2), "dimanche août");
    // An m after an hour is minutes; n is minutes too.
    EXPECT_EQ(formatDateTime("hh:mm:ss d/m", when, 1), "14:05:09 8/12");
    EXPECT_EQ(formatDateTime("h:nn am/pm", when, 1), "2:05 pm");
    EXPECT_EQ(formatDateTime("h:nn AM/PM", early, 1), "9:07 AM");
    EXPECT_EQ(formatDateTime("'it''s' yyyy", early, 1), "its 2027");
    EXPECT_EQ(formatDateTime("\"Date: \"dd/mm/yyyy", DateTime(), 1), "Date: //");
}

TEST(DateTimeFormat, ShortDatesInEachFormat) {
    const Date d = Date::fromYmd(2026, 3, 7);
    EXPECT_EQ(formatShortDate(d, "DD/MM/YYYY"), "07/03/2026");
    EXPECT_EQ(formatShortDate(d, "mm/dd/yyyy"), "03/07/2026");
    EXPECT_EQ(formatShortDate(d, "yyyy/mm/dd"), "2026/03/07");
    EXPECT_EQ(formatShortDate(Date(), "DD/MM/YYYY"), "");

    for (const char* fmt : {"DD/MM/YYYY", "mm/dd/yyyy", "yyyy/mm/dd", "d-m-yy"})
        EXPECT_EQ(parseShortDate(formatShortDate(d, fmt), fmt, 2026), d) << fmt;
    EXPECT_EQ(parseShortDate("7/3/2026", "DD/MM/YYYY"), d);
    EXPECT_EQ(parseShortDate(" 7/ 3/2026", "DD/MM/YYYY"), d); // as a mask edit leaves it
    EXPECT_EQ(parseShortDate("07032026", "DD/MM/YYYY"), d);
    EXPECT_EQ(parseShortDate("  /  /    ", "DD/MM/YYYY"), Date()); // blank
    EXPECT_EQ(parseShortDate("", "DD/MM/YYYY"), Date());

    // Two-digit years fall within fifty years of the reference year.
    EXPECT_EQ(parseShortDate("01/01/75", "DD/MM/YYYY", 2026), Date::fromYmd(2075, 1, 1));
    EXPECT_EQ(parseShortDate("01/01/76", "DD/MM/YYYY", 2026), Date::fromYmd(1976, 1, 1));
    EXPECT_EQ(parseShortDate("01/01/00", "DD/MM/YYYY", 2026), Date::fromYmd(2000, 1, 1));

    for (const char* bad : {"31/02/2026", "12/13/2026", "00/01/2026", "1/2", "1/2/3/4", "123/01/2026",
                            "07/03/20261", "0703202"})
        EXPECT_FALSE(parseShortDate(bad, "DD/MM/YYYY", 2026).has_value()) << bad;
    EXPECT_EQ(parseShortDate("02/29/2028", "MM/DD/YYYY"), Date::fromYmd(2028, 2, 29));
    EXPECT_FALSE(parseShortDate("02/29/2027", "MM/DD/YYYY").has_value());
}
