#include "schema/UserRights.h"

#include <gtest/gtest.h>

using vm::schema::UserRights;

TEST(UserRights, BitsFollowLedgerGroupAndPosition) {
    EXPECT_EQ(UserRights::bitOf(UserRights::Receivables, UserRights::Edit, 0), 105);
    EXPECT_EQ(UserRights::bitOf(UserRights::Payables, UserRights::Reports, 1), 241);
    EXPECT_EQ(UserRights::bitOf(UserRights::JobCost, 6, 14), 9 * 105 + 6 * 15 + 14);
    EXPECT_THROW(UserRights::bitOf(UserRights::Payables, 7, 0), std::out_of_range);
    EXPECT_THROW(UserRights::bitOf(UserRights::Payables, 0, 15), std::out_of_range);

    // Least significant bit first: bit 241 is bit 1 of byte 30.
    UserRights r;
    r.allow(UserRights::Payables, UserRights::Reports, 1);
    ASSERT_EQ(r.bytes().size(), 200u);
    EXPECT_EQ(r.bytes()[30], 0x02);
    EXPECT_TRUE(r.allowsBit(241));
    EXPECT_FALSE(r.allowsBit(240));
    EXPECT_FALSE(r.allowsBit(242));
    EXPECT_FALSE(r.allowsBit(5000));
}

TEST(UserRights, ShortOrMissingBytesAllowNothing) {
    EXPECT_FALSE(UserRights::fromBytes({}).allowsBit(0));
    EXPECT_FALSE(UserRights::fromBytes(vm::Bytes(199, 0xFF)).allowsBit(105));
    EXPECT_TRUE(UserRights::fromBytes(vm::Bytes(200, 0xFF)).allowsBit(105));
    EXPECT_TRUE(UserRights::all().allowsBit(1599));

    UserRights g;
    g.allowGroup(UserRights::Receivables, UserRights::Transactions);
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(g.allows(UserRights::Receivables, UserRights::Transactions, i));
    EXPECT_FALSE(g.allows(UserRights::Receivables, UserRights::Reports, 0));
    EXPECT_FALSE(g.allows(UserRights::Receivables, UserRights::Edit, 14));
}
