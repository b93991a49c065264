#include "modules/cashrcpt/core/ReceiptChecks.h"

#include "modules/cashrcpt/core/ReceiptDocument.h"
#include "tests/modules/cashrcpt/ReceiptCompany.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::cashrcpt;
using namespace vm::test;

namespace {

DistributionLine line(std::optional<std::int32_t> account, Money debit, Money credit) {
    return {account, "", debit, credit};
}

class ReceiptChecksTest : public ::testing::Test {
protected:
    void SetUp() override { co.client("C1", "Client One"); }

    ReceiptDocument sundry() {
        ReceiptDocument d;
        d.notFromClient = true;
        d.date = Date::fromYmd(2026, 2, 1);
        d.reference = "DEP1";
        d.memo = "Deposit";
        d.lines = {line(kBank, units(50), {}), line(kOtherIncome, {}, units(50))};
        return d;
    }
    CheckResult check(const ReceiptDocument& d, bool confirmed = false) {
        return ReceiptChecks::check(co.db(), co.accounts, d, confirmed);
    }

    ReceiptCompany co;
};

TEST_F(ReceiptChecksTest, HeaderChecksComeFirst) {
    ReceiptDocument d = sundry();
    EXPECT_TRUE(check(d).ok());

    d.reference = "  ";
    d.lines.push_back(line(kNotInChart, {}, {})); // also wrong, but the reference is met first
    EXPECT_EQ(check(d).message, kMsgReferenceMissing);
    EXPECT_EQ(check(d).focus, ReceiptField::Reference);

    d = sundry();
    d.date = Date();
    EXPECT_EQ(check(d).message, kMsgDateInvalid);

    // An empty memo is a question, not a refusal: going on is allowed.
    d = sundry();
    d.memo = " \r\n";
    EXPECT_EQ(check(d).message, kMsgMemoMissing);
    EXPECT_TRUE(check(d, true).ok());

    d = sundry();
    d.notFromClient = false;
    d.client = "NOPE";
    EXPECT_EQ(check(d).message, kMsgClientNotFound);
    d.client = "C1";
    d.memo.clear(); // a client receipt needs no memo
    EXPECT_TRUE(check(d).ok());
}

TEST_F(ReceiptChecksTest, DistributionLinesAreCheckedThenTheBalance) {
    ReceiptDocument d = sundry();
    // 0 typed as an account counts as filled in and is not in the chart.
    d.lines.push_back(line(0, {}, {}));
    CheckResult r = check(d);
    EXPECT_EQ(r.message, kMsgAccountInvalid);
    EXPECT_EQ(r.line, 2);

    // A line never given an account and without amounts is no fault.
    d = sundry();
    d.lines.push_back(line(std::nullopt, {}, {}));
    EXPECT_TRUE(check(d).ok());

    // An amount without an account, negative ones included.
    d.lines.back().debit = units(-5);
    EXPECT_EQ(check(d).message, kMsgAccountInvalid);

    d = sundry();
    d.lines[1].credit = units(49);
    EXPECT_EQ(check(d).message, kMsgNotBalanced);

    // Not from a client: no amount on a receivables account, of any currency;
    // an unused receivables line is allowed.
    d = sundry();
    d.lines.push_back(line(kReceivables, {}, {}));
    EXPECT_TRUE(check(d).ok());
    d.lines[1] = line(kReceivablesUs, {}, units(50));
    r = check(d);
    EXPECT_EQ(r.message, kMsgReceivablesNotFromClient);
    EXPECT_EQ(r.line, 1);

    d = sundry();
    d.lines.resize(21, line(std::nullopt, {}, {}));
    EXPECT_EQ(check(d).message, kMsgTooManyLines);
}

} // namespace
