#include "modules/rcvaging/core/Aging.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "schema/Schema.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
using namespace vm::aging;

namespace {

const Date kToday = Date::fromYmd(2026, 12, 8);

class AgingTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vmaging-XXXXXX").string();
        root_ = ::mkdtemp(tmpl.data());
        dataDir_ = schema::dataDirOf(root_);
        schema::createDataRoot(dataDir_);
        schema::createCompany(dataDir_, 1, "Test Co");
        db_ = &session_.database(schema::companyDirOf(dataDir_, 1));
        Cursor ctrl(*db_, "ctrl");
        ctrl.first();
        ctrl.edit();
        const int days[] = {30, 60, 90, 120, 150};
        for (int i = 0; i < 5; ++i) {
            ctrl.set("Ctrl_ar_days" + std::to_string(i + 1), days[i]);
            ctrl.set("Ctrl_ap_days" + std::to_string(i + 1), days[i]);
        }
        ctrl.set("Ctrl_curr1_name", "US Dollar");
        ctrl.set("Ctrl_curr1_sign", "US");
        ctrl.set("Ctrl_curr1_rate", 1.345);
        ctrl.post();
    }
    void TearDown() override {
        session_.closeAll();
        std::filesystem::remove_all(root_);
    }

    void client(const std::string& code, Money balance, int currency = 0, const std::string& rep = "") {
        Cursor c(*db_, "cli");
        c.insert();
        schema::fillBlank(c);
        c.set("Cli_code", code);
        c.set("Cli_name", "Client " + code);
        c.set("Cli_current_bal", balance);
        c.set("Cli_currency", currency);
        c.set("Cli_salesrep", rep);
        c.post();
    }
    void supplier(const std::string& code, Money balance) {
        Cursor c(*db_, "sup");
        c.insert();
        schema::fillBlank(c);
        c.set("Sup_code", code);
        c.set("Sup_current_bal", balance);
        c.post();
    }
    void entry(const char* table, const std::string& code, const std::string& invoice,
               const std::string& type, Date date, Money amount) {
        const std::string p = std::string(table) == "car" ? "Car_" : "Cap_";
        Cursor c(*db_, table);
        c.insert();
        schema::fillBlank(c);
        c.set(p == "Car_" ? "Car_client" : "Cap_supplier", code);
        c.set(p + "invoice", invoice);
        c.set(p + "type", type);
        c.set(p + "date", date);
        c.set(p + "du_date", date.addDays(30));
        c.set(p + "amount", amount);
        c.post();
    }

    std::vector<AgingAccount> run(AgingOptions o, AgingTotals* totals = nullptr) {
        if (o.reportDate.isNull()) o.reportDate = kToday;
        o.today = kToday;
        Aging aging(*db_, o);
        std::vector<AgingAccount> out;
        AgingTotals t = aging.run([&](const AgingAccount& a) { out.push_back(a); });
        if (totals) *totals = t;
        return out;
    }

    std::string root_, dataDir_;
    Session session_;
    Database* db_ = nullptr;
};

Money dollars(int d) {
    return Money::fromUnits(d);
}

} // namespace

TEST_F(AgingTest, LaterPaymentIsAgedWithItsInvoiceAndNetsToZeroInItsBucket) {
    client("C1", dollars(0));
    entry("car", "C1", "1001", "1", kToday.addDays(-100), dollars(500));
    entry("car", "C1", "1001", "2", kToday.addDays(-5), dollars(-500));
    entry("car", "C1", "1002", "1", kToday.addDays(-10), dollars(40));
    AgingOptions o;
    o.zeroBalance = true;
    auto accounts = run(o);
    ASSERT_EQ(accounts.size(), 1u);
    const auto& a = accounts[0];
    ASSERT_EQ(a.rows.size(), 3u);
    EXPECT_EQ(a.rows[1].days, 100); // the payment carries the invoice's date
    EXPECT_EQ(a.rows[1].bucket, 4);
    EXPECT_EQ(a.buckets[3], Money());
    EXPECT_EQ(a.buckets[0], dollars(40));
    EXPECT_EQ(a.total, dollars(40));
}

TEST_F(AgingTest, PastReportDateLeavesOutLaterRowsFromRowsAndBalance) {
    const Date invoiceDate = Date::fromYmd(2026, 1, 10);
    client("C1", dollars(0)); // stored balance: paid in full
    entry("car", "C1", "1001", "1", invoiceDate, dollars(100));
    entry("car", "C1", "1001", "2", Date::fromYmd(2026, 3, 1), dollars(-100));
    AgingOptions o;
    o.reportDate = Date::fromYmd(2026, 2, 1);
    auto accounts = run(o);
    ASSERT_EQ(accounts.size(), 1u); // as-of balance 100 decides, not the stored 0
    EXPECT_EQ(accounts[0].rows.size(), 1u);
    EXPECT_EQ(accounts[0].balance, dollars(100));
    EXPECT_EQ(accounts[0].rows[0].days, 22);
    o.includeSubsequent = true; // the payment comes back and the balance nets out
    EXPECT_TRUE(run(o).empty());
    // Today: the stored balance decides.
    AgingOptions now;
    EXPECT_TRUE(run(now).empty());
    now.zeroBalance = true;
    EXPECT_EQ(run(now).size(), 1u);
    now.zeroBalance = false;
    now.history = true; // history prints zero balances too, but carh is empty here
    EXPECT_TRUE(run(now).empty());
}

TEST_F(AgingTest, BucketLimitsAreInclusiveAndOlderThanDiffersByLedger) {
    client("C1", dollars(3));
    entry("car", "C1", "A", "1", kToday.addDays(-30), dollars(1));
    entry("car", "C1", "B", "1", kToday.addDays(-31), dollars(1));
    entry("car", "C1", "C", "1", kToday.addDays(-200), dollars(1));
    auto a = run({}).at(0);
    EXPECT_EQ(a.rows[0].bucket, 1);
    EXPECT_EQ(a.rows[1].bucket, 2);
    EXPECT_EQ(a.rows[2].bucket, 5);
    AgingOptions older;
    older.olderThan = 1; // receivables: age >= 30
    EXPECT_EQ(run(older).at(0).rows.size(), 3u);

    supplier("S1", dollars(3));
    entry("cap", "S1", "A", "1", kToday.addDays(-30), dollars(1));
    entry("cap", "S1", "B", "1", kToday.addDays(-31), dollars(1));
    older.ledger = Ledger::Payables; // payables: age > 30
    auto s = run(older).at(0);
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].invoice, "B");
}

TEST_F(AgingTest, CurrencySelectionAndConversion) {
    client("C0", dollars(10), 0);
    client("C1", dollars(100), 1);
    entry("car", "C0", "X", "1", kToday, dollars(10));
    entry("car", "C1", "Y", "1", kToday, dollars(100));
    AgingOptions o;
    o.printCurrency = 0; // "Default"
    auto only = run(o);
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only[0].code, "C0");
    AgingOptions conv;
    conv.convertTo = 0;
    AgingTotals t;
    auto all = run(conv, &t);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].total, Money::fromCents(13450));
    EXPECT_EQ(t.total, Money::fromCents(14450));
    Aging aging(*db_, conv);
    // Half a cent rounds away from zero after the rate's binary noise.
    EXPECT_EQ(aging.convert(Money::fromCents(1), 1, 0), Money::fromCents(1));        // 0.01345 -> 0.01
    EXPECT_EQ(aging.convert(Money::fromRaw(3717), 1, 0), Money::fromCents(50));      // 0.4999365 -> 0.50
    EXPECT_EQ(aging.convert(Money::fromCents(-1000), 0, 1), Money::fromCents(-743)); // -7.4349 -> -7.43
    EXPECT_EQ(aging.amountSign("$"), "$");
}

TEST_F(AgingTest, RangesTerritoryAndSalesmanOrderSelectTheSameWay) {
    client("A1", dollars(1), 0, "S2");
    client("B1", dollars(1), 0, "S1");
    client("C1", dollars(1), 0, "S1");
    client("D1", dollars(1), 0, "S0");
    for (auto c : {"A1", "B1", "C1", "D1"})
        entry("car", c, "I", "1", kToday, dollars(1));
    entry("car", "ZZ", "I", "1", kToday, dollars(1)); // no such client: never printed
    AgingOptions o;
    o.fromCode = "B1";
    o.toCode = "C1";
    auto byCode = run(o);
    ASSERT_EQ(byCode.size(), 2u);
    EXPECT_EQ(byCode[0].code, "B1");
    o.toCode.clear();
    o.orderBySalesman = true;
    auto byRep = run(o);
    ASSERT_EQ(byRep.size(), 3u);
    EXPECT_EQ(byRep[0].code, "D1"); // S0 first
    EXPECT_EQ(byRep[1].code, "B1");
}
