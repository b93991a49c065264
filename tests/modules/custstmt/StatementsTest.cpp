#include "modules/custstmt/core/Statements.h"

#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::custstmt;

namespace {

const Date kAt = Date::fromYmd(2026, 6, 30);

class StatementsTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        company.setCtrl({{"Ctrl_ar_days1", 30},
                         {"Ctrl_ar_days2", 60},
                         {"Ctrl_ar_days3", 90},
                         {"Ctrl_ar_days4", 120},
                         {"Ctrl_curr1_name", "US Dollar"},
                         {"Ctrl_curr1_rate", 1.25}});
    }
    StatementOptions options() const {
        StatementOptions o;
        o.printDate = kAt;
        o.today = kAt;
        return o;
    }
    std::vector<Statement> run(const StatementOptions& o) {
        StatementRun r(company.db(), o);
        std::vector<Statement> out;
        Statement s;
        while (r.next(s))
            out.push_back(s);
        return out;
    }
    static std::vector<std::string> codes(const std::vector<Statement>& v) {
        std::vector<std::string> c;
        for (const auto& s : v)
            c.push_back(s.code);
        return c;
    }
};

TEST_F(StatementsTest, LinesCarryRunningBalanceAndAgeByTheInvoicesFirstRow) {
    company.addClient("C1", "One");
    company.addCar("C1", "I45", "1", kAt.addDays(-45), Money::fromUnits(100));
    company.addCar("C1", "I45", "2", kAt.addDays(-5), Money::fromUnits(-40)); // payment of the old invoice
    company.addCar("C1", "I121", "1", kAt.addDays(-121), Money::fromUnits(70));
    company.addCar("C1", "ILATE", "1", kAt.addDays(3), Money::fromUnits(9)); // after the print date
    auto v = run(options());
    ASSERT_EQ(v.size(), 1u);
    const auto& l = v[0].lines;
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0].invoice, "I121");
    EXPECT_EQ(l[0].bucket, 5);
    EXPECT_EQ(l[1].bucket, 2);
    EXPECT_EQ(l[2].days, 45); // the payment, aged from its invoice
    EXPECT_EQ(l[2].bucket, 2);
    EXPECT_EQ(l[2].credit, Money::fromUnits(40));
    EXPECT_EQ(l[2].debit, Money());
    EXPECT_EQ(l[2].balance, Money::fromUnits(130));
    EXPECT_EQ(v[0].buckets[1], Money::fromUnits(60));
    EXPECT_EQ(v[0].buckets[4], Money::fromUnits(70));
    EXPECT_EQ(v[0].totalDue, Money::fromUnits(130));

    auto o = options();
    o.includeSubsequent = true;
    EXPECT_EQ(run(o)[0].lines.size(), 4u);
}

TEST_F(StatementsTest, SelectionByMinimumBalanceAndPrintedCurrency) {
    company.addClient("A", "Zero", {{"Cli_current_bal", Money()}});
    company.addClient("B", "Small", {{"Cli_current_bal", Money::fromCents(0)}, {"Cli_currency", 1}});
    company.addClient("C", "Cent", {{"Cli_current_bal", Money::fromCents(1)}, {"Cli_currency", 1}});
    company.addClient("D", "Negative", {{"Cli_current_bal", Money::fromCents(-500)}});
    EXPECT_EQ(codes(run(options())), (std::vector<std::string>{"A", "B", "C", "D"}));
    auto o = options();
    o.minimumBalance = Money::fromCents(1);
    EXPECT_EQ(codes(run(o)), (std::vector<std::string>{"C"}));
    o = options();
    o.printCurrency = 1;
    o.fromCode = "B";
    EXPECT_EQ(codes(run(o)), (std::vector<std::string>{"B", "C"}));
}

// 1000 invoiced, 400 paid, 12 % a year, 30 days past due: 600 x 0.12 / 365 x 30.
// Another client's invoice of the same number must not change it.
TEST_F(StatementsTest, InterestOnTheClientsOwnOutstandingInvoice) {
    company.addClient("C1", "One");
    company.addClient("C2", "Two");
    const Date due = kAt.addDays(-30);
    company.addCar("C1", "100", "1", kAt.addDays(-60), Money::fromUnits(1000), {{"Car_du_date", due}});
    company.addCar("C1", "100", "2", kAt.addDays(-20), Money::fromUnits(-400), {{"Car_du_date", due}});
    company.addCar("C2", "100", "1", kAt.addDays(-60), Money::fromUnits(5000), {{"Car_du_date", due}});
    auto o = options();
    o.interestRate = 12;
    o.toCode = "C1";
    auto v = run(o);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].lines[0].interest, Money::fromCents(592));
    EXPECT_EQ(v[0].lines[1].interest, Money());
    EXPECT_EQ(v[0].totalInterest, Money::fromCents(592));
    EXPECT_EQ(v[0].totalDue, Money::fromCents(60592));
}

} // namespace
