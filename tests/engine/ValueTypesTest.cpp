#include "engine/Money.h"
#include "engine/Value.h"

#include <gtest/gtest.h>

using vm::Date;
using vm::Money;
using vm::Value;

TEST(Money, ParsesExactlyAndRefusesJunk) {
    EXPECT_EQ(Money::parse("1234.5678")->raw(), 12345678);
    EXPECT_EQ(Money::parse("-0.01")->raw(), -100);
    EXPECT_EQ(Money::parse("12,5")->raw(), 125000);
    EXPECT_FALSE(Money::parse("1.23456"));
    EXPECT_FALSE(Money::parse("12a"));
    EXPECT_FALSE(Money::parse(""));
    EXPECT_FALSE(Money::parse("1.2.3"));
}

TEST(Money, SumsOfTenthsStayExact) {
    // 0.1 added ten thousand times is exactly 1000 — where a double drifts.
    Money m;
    for (int i = 0; i < 10000; ++i)
        m += Money::fromDouble(0.1);
    EXPECT_EQ(m, Money::fromUnits(1000));
}

TEST(Money, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(Money::fromRaw(12350).roundedToCents(), Money::fromCents(124));
    EXPECT_EQ(Money::fromRaw(-12350).roundedToCents(), Money::fromCents(-124));
    EXPECT_EQ(Money::fromRaw(12349).roundedToCents(), Money::fromCents(123));
    EXPECT_EQ(Money::fromRaw(-50).toString(), "-0.01");
    EXPECT_EQ(Money::fromCents(100).convertedAt(1.345), Money::fromCents(135)); // 1.345 -> 1.35
    EXPECT_EQ(Money::fromCents(-100).convertedAt(1.345), Money::fromCents(-135));
    EXPECT_EQ(Money::fromRaw(-12345678).toExactString(), "-1234.5678");
}

TEST(Date, CalendarArithmeticAndIso) {
    Date d = Date::fromYmd(2024, 2, 29);
    ASSERT_FALSE(d.isNull());
    EXPECT_EQ(d.addDays(1).toIso(), "2024-03-01");
    EXPECT_TRUE(Date::fromYmd(2023, 2, 29).isNull());
    EXPECT_TRUE(Date::fromYmd(2026, 4, 31).isNull());
    EXPECT_EQ(Date::fromYmd(2026, 12, 8).dayOfWeek(), 2); // a Tuesday
    EXPECT_EQ(Date::fromYmd(2026, 12, 8).daysSince(Date::fromYmd(2026, 11, 8)), 30);
    EXPECT_FALSE(Date::fromIso("2026-13-01"));
    EXPECT_TRUE(Date::fromIso("")->isNull());
    EXPECT_LT(Date(), Date::fromYmd(1900, 1, 1)); // blank sorts first
}

TEST(Value, ConversionsBetweenKinds) {
    EXPECT_EQ(Value("42").asInt(), 42);
    EXPECT_EQ(Value("x").asInt(), 0);
    EXPECT_EQ(Value(std::int64_t{7}).asMoney(), Money::fromUnits(7));
    EXPECT_EQ(Value(Money::fromCents(150)).asDouble(), 1.5);
    EXPECT_TRUE(Value(Date()).isNull());
    EXPECT_EQ(Value().asString(), "");
    EXPECT_TRUE(Value("Y").asBool());
}
