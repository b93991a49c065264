#include "modules/monthend/core/MonthEnd.h"

#include "engine/EngineError.h"
#include "tests/fixture/TempCompany.h"
#include "tools/BooksCheck.h"
#include "tools/DemoCompany.h"

#include <string>
#include <vector>

using namespace vm;
using namespace vm::monthend;
using vm::test::BackendCompanyTest;

namespace {

const Date kCutoff = Date::fromYmd(2026, 3, 31);
const Date kBefore = Date::fromYmd(2026, 3, 10);
const Date kAfter = Date::fromYmd(2026, 4, 2);

Money units(std::int64_t n) {
    return Money::fromUnits(n);
}

// The rows of a ledger table as "client/invoice/type/amount", in index order.
std::vector<std::string> rows(Database& db, const char* table) {
    std::vector<std::string> out;
    Query q(db, std::string("SELECT Car_client, Car_invoice, Car_type, Car_amount FROM ") + table +
                    " ORDER BY Car_client, Car_invoice, Car_ref, Car_date, Car_type");
    while (q.next())
        out.push_back(q.text(0) + "/" + q.text(1) + "/" + q.text(2) + "/" + q.money(3).toString());
    return out;
}

std::int64_t count(Database& db, const std::string& sql) {
    Query q(db, sql);
    q.next();
    return q.value(0).asInt();
}

// Everything a month end may change, as one text.
std::string books(Database& db) {
    std::string s;
    for (const char* t : {"car", "carh"})
        for (const auto& r : rows(db, t))
            s += std::string(t) + ":" + r + "\n";
    Query q(db, "SELECT 'cli', Cli_code, Cli_sales_mth, Cli_current_bal FROM cli UNION ALL "
                "SELECT 'slsm', Slsm_code, Slsm_vente_mois, 0 FROM slsm UNION ALL "
                "SELECT 'ctrl', '', Ctrl_ar_period, 0 FROM ctrl");
    while (q.next())
        s += q.text(0) + ":" + q.text(1) + "/" + q.text(2) + "/" + q.text(3) + "\n";
    return s;
}

class MonthEndTest : public BackendCompanyTest {
protected:
    void SetUp() override {
        company.setCtrl({{"Ctrl_periods", 12}, {"Ctrl_ar_period", 3}, {"Ctrl_ar_histo", true}});
        company.addClient("C1", "One", {{"Cli_sales_mth", units(700)}, {"Cli_current_bal", units(250)}});
        company.addClient("C2", "Two", {{"Cli_sales_mth", units(50)}});
        company.addRow("slsm", {{"Slsm_code", std::string("S1")}, {"Slsm_vente_mois", units(900)}});
        // C1: A paid before the cut-off; B unpaid right after it in index
        // order; D paid only after the cut-off; E paid before with a later
        // invoice row; P a payment on account; Q netted by a debit.
        company.addCar("C1", "A", "1", kBefore, units(100));
        company.addCar("C1", "A", "2", kCutoff, units(-100));
        company.addCar("C1", "B", "1", kBefore, units(200));
        company.addCar("C1", "D", "1", kBefore, units(80));
        company.addCar("C1", "D", "2", kAfter, units(-80));
        company.addCar("C1", "E", "1", kBefore, units(60));
        company.addCar("C1", "E", "2", kBefore, units(-60));
        company.addCar("C1", "E", "3", kAfter, units(30));
        company.addCar("C1", "P", "5", kBefore, units(-40));
        company.addCar("C1", "Q", "4", kBefore, units(25));
        company.addCar("C1", "Q", "5", kBefore, units(-25));
        // C2: an unpaid invoice before a paid one.
        company.addCar("C2", "X", "1", kBefore, units(10));
        company.addCar("C2", "Y", "1", kBefore, units(5));
        company.addCar("C2", "Y", "2", kBefore, units(-5));
    }
    Database& db() { return company.db(); }
};

TEST_P(MonthEndTest, PurgesExactlyTheInvoicesThatNetToZeroByTheCutoff) {
    const std::optional<MonthEndResult> r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(rows(db(), "car"), (std::vector<std::string>{"C1/B/1/200.00", "C1/D/1/80.00", "C1/D/2/-80.00",
                                                           "C1/E/3/30.00", "C1/P/5/-40.00", "C2/X/1/10.00"}));
    EXPECT_EQ(rows(db(), "carh"),
              (std::vector<std::string>{"C1/A/1/100.00", "C1/A/2/-100.00", "C1/E/1/60.00", "C1/E/2/-60.00",
                                        "C1/Q/4/25.00", "C1/Q/5/-25.00", "C2/Y/1/5.00", "C2/Y/2/-5.00"}));
    EXPECT_EQ(r->invoicesPurged, 4);
    EXPECT_EQ(r->rowsDeleted, 8);
    EXPECT_EQ(r->rowsToHistory, 8);
    EXPECT_EQ(r->clientsReset, 2);
    EXPECT_EQ(r->salesmenReset, 1);
    EXPECT_EQ(count(db(), "SELECT Cli_current_bal + 0 FROM cli WHERE Cli_code = 'C1'"), units(250).raw());

    // A second run removes nothing more.
    const std::optional<MonthEndResult> again = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->invoicesPurged, 0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM car"), 6);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM carh"), 8);
}

// More paid invoices than one statement takes: a full group, then a short
// one, with an unpaid invoice among them.
TEST_P(MonthEndTest, AClientsManyPaidInvoicesAreAllPurgedAndNoneElse) {
    company.addClient("C3", "Three");
    for (int i = 0; i < 70; ++i) {
        const std::string invoice = "M" + std::to_string(100 + i);
        company.addCar("C3", invoice, "1", kBefore, units(1));
        if (i != 40) company.addCar("C3", invoice, "2", kBefore, units(-1));
    }
    const auto r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->invoicesPurged, 4 + 69);
    EXPECT_EQ(r->rowsToHistory, 8 + 138);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM carh WHERE Car_client = 'C3'"), 138);
    EXPECT_EQ(rows(db(), "car").back(), "C3/M140/1/1.00");
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM car WHERE Car_client = 'C3'"), 1);
}

TEST_P(MonthEndTest, WithoutHistoryNothingIsCopied) {
    company.setCtrl({{"Ctrl_ar_histo", false}});
    const auto r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowsDeleted, 8);
    EXPECT_EQ(r->rowsToHistory, 0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM carh"), 0);
}

TEST_P(MonthEndTest, ResetsMonthSalesAndMovesThePeriodExceptInTheLastOne) {
    auto r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->oldPeriod, 3);
    EXPECT_EQ(r->newPeriod, 4);
    EXPECT_EQ(count(db(), "SELECT Ctrl_ar_period FROM ctrl"), 4);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM cli WHERE Cli_sales_mth <> 0"), 0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM slsm WHERE Slsm_vente_mois <> 0"), 0);

    company.setCtrl({{"Ctrl_ar_period", 12}});
    company.addCar("C2", "Z", "1", kBefore, units(3));
    company.addCar("C2", "Z", "2", kBefore, units(-3));
    db().execute("UPDATE cli SET Cli_sales_mth = 1");
    EXPECT_TRUE(MonthEnd::readPeriod(db()).lastPeriod());
    r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->newPeriod, 12);
    EXPECT_EQ(count(db(), "SELECT Ctrl_ar_period FROM ctrl"), 12);
    EXPECT_EQ(r->invoicesPurged, 1);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM cli WHERE Cli_sales_mth <> 0"), 0);
}

// A blank date, a failure part-way, a cancel and a client held by another
// workstation all leave the books exactly as they were.
TEST_P(MonthEndTest, AnInterruptedRunLeavesTheBooksAsBefore) {
    const std::string before = books(db());
    EXPECT_THROW(MonthEnd(db()).run(Date()), InvalidCutoff);

    MonthEnd failing(db());
    failing.setProgress([](std::int64_t done, std::int64_t) {
        if (done == 2) throw std::runtime_error("disk full"); // after both clients were purged
        return true;
    });
    EXPECT_THROW(failing.run(kCutoff), std::runtime_error);
    EXPECT_EQ(books(db()), before);

    MonthEnd cancelled(db());
    cancelled.setProgress([](std::int64_t done, std::int64_t) { return done < 3; });
    EXPECT_FALSE(cancelled.run(kCutoff));
    EXPECT_EQ(books(db()), before);

    Session other;
    Database& otherDb = other.database(company.companyDir());
    Cursor held(otherDb, "cli");
    ASSERT_TRUE(held.findKey({Value(std::string("C2"))}));
    held.edit();
    try {
        MonthEnd(db()).run(kCutoff);
        ADD_FAILURE() << "a locked client must stop the run";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.isLock());
    }
    held.cancel();
    EXPECT_EQ(books(db()), before);

    // The rerun after any of these does the whole work once.
    const auto r = MonthEnd(db()).run(kCutoff);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowsToHistory, 8);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM carh"), 8);
}

TEST_P(BackendCompanyTest, DemoBooksStillBalanceAfterAMonthEnd) {
    admin::DemoOptions demo;
    demo.clients = 30;
    demo.invoices = 200;
    admin::buildDemoCompany(company.dataDir(), demo);
    company.setCtrl({{"Ctrl_ar_histo", true}});
    ASSERT_TRUE(admin::checkBooks(company.db()).empty());
    const auto r = MonthEnd(company.db()).run(Date::fromYmd(2030, 1, 1));
    ASSERT_TRUE(r);
    EXPECT_GT(r->invoicesPurged, 0);
    EXPECT_EQ(admin::checkBooks(company.db()), std::vector<std::string>());
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, MonthEndTest, VM_BOTH_BACKENDS);
INSTANTIATE_TEST_SUITE_P(Backends, BackendCompanyTest, VM_BOTH_BACKENDS);
