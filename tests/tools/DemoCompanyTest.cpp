// The demo company as the modules will meet it: rows that agree with each
// other beyond the balances the check looks at.
#include "tools/DemoCompany.h"
#include "tools/BooksCheck.h"

#include "tests/fixture/TempCompany.h"

#include <filesystem>

using namespace vm;

namespace {

std::int64_t scalar(Database& db, const std::string& sql) {
    Query q(db, sql);
    return q.next() ? q.value(0).asInt() : -1;
}

// A data root without company 1, which the demo then creates.
class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string p = (std::filesystem::temp_directory_path() / "vmdemo.XXXXXX").string();
        ASSERT_NE(mkdtemp(p.data()), nullptr);
        root = p;
        dataDir = schema::dataDirOf(root);
        schema::createDataRoot(dataDir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string root, dataDir;
};

} // namespace

TEST_F(DemoTest, LedgerRowsAgreeWithTheirClientsAndTerms) {
    const auto s = admin::buildDemoCompany(dataDir, {30, 8, 500, 7});
    EXPECT_TRUE(s.companyCreated);
    EXPECT_EQ(s.invoices, 500);
    Database db(schema::companyDirOf(dataDir, 1));
    Database rootDb(dataDir);
    // Coded fields as the windows write them; invoice numbers once per supplier.
    EXPECT_EQ(admin::checkCodes(db, rootDb), std::vector<std::string>{});

    // Every ledger row names a client or supplier on file.
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car WHERE Car_client NOT IN (SELECT Cli_code FROM cli)"), 0);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM cap WHERE Cap_supplier NOT IN (SELECT Sup_code FROM sup)"), 0);
    // Invoices are positive, payments negative and never before their invoice.
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car WHERE (Car_type = '1') <> (Car_amount > 0)"), 0);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car p JOIN car i ON i.Car_client = p.Car_client"
                         " AND i.Car_invoice = p.Car_invoice AND i.Car_type = '1'"
                         " WHERE p.Car_type = '2' AND p.Car_date <= i.Car_date"),
              0);
    // An invoice number belongs to one client only.
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM (SELECT Car_invoice FROM car GROUP BY Car_invoice"
                         " HAVING COUNT(DISTINCT Car_client) > 1)"),
              0);
    // Due dates follow the client's terms.
    Cursor cli(db, "cli", true);
    Cursor terms(rootDb, "arterms", true);
    Cursor car(db, "car", true);
    car.setIndex("Car_client");
    int checked = 0;
    for (bool ok = cli.first(); ok; ok = cli.next()) {
        ASSERT_TRUE(terms.findKey({cli.value("Cli_terms")})) << cli.str("Cli_code");
        EXPECT_EQ(cli.integer("Cli_du_days"), terms.integer("Arterms_days"));
        car.setRange({cli.value("Cli_code")});
        Date lastSale;
        for (bool r = car.hasRow(); r; r = car.next()) {
            if (car.str("Car_type") != "1") continue;
            EXPECT_EQ(car.date("Car_du_date").daysSince(car.date("Car_date")), terms.integer("Arterms_days"));
            lastSale = std::max(lastSale, car.date("Car_date"));
            ++checked;
        }
        EXPECT_EQ(cli.date("Cli_date_last_sale"), lastSale) << cli.str("Cli_code");
    }
    EXPECT_EQ(checked, 500);
    // Foreign-currency clients post to the foreign-currency journal and bank.
    EXPECT_EQ(
        scalar(db, "SELECT COUNT(*) FROM tjld WHERE Tjld_journal = 22 AND Tjld_account NOT IN (1030, 1210)"),
        0);
    EXPECT_EQ(
        scalar(db, "SELECT COUNT(*) FROM tjld WHERE Tjld_journal = 2 AND Tjld_account NOT IN (1010, 1200)"),
        0);
    // Next cheque number follows the last one written.
    Cursor ctrl(db, "ctrl", true);
    ctrl.first();
    EXPECT_EQ(ctrl.integer("Ctrl_ap_chqno1"),
              1 + scalar(db, "SELECT MAX(CAST(Cap_ref AS INTEGER)) FROM cap WHERE Cap_type = '2'"));
}

TEST_F(DemoTest, EmptySizesGiveAChartWithoutLedgers) {
    const auto s = admin::buildDemoCompany(dataDir, {0, 0, 0, 1});
    EXPECT_EQ(s.clients + s.suppliers + s.invoices + s.journalHeaders, 0);
    Database db(schema::companyDirOf(dataDir, 1));
    EXPECT_GT(scalar(db, "SELECT COUNT(*) FROM glm"), 20);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car"), 0);
}

TEST_F(DemoTest, RefusalsLeaveNoCompanyBehind) {
    EXPECT_THROW(admin::buildDemoCompany(dataDir, {0, 1, 10, 1}), std::invalid_argument);
    EXPECT_THROW(admin::buildDemoCompany(dataDir, {-1, 1, 0, 1}), std::invalid_argument);
    EXPECT_THROW(admin::buildDemoCompany(root, {}), std::runtime_error); // not a data root
    EXPECT_FALSE(std::filesystem::exists(schema::companyDirOf(dataDir, 1)));
    Database rootDb(dataDir);
    EXPECT_TRUE(Cursor(rootDb, "comp", true).isEmpty());
}

// A French demo company names its periods, aging columns and accounts in
// French, and so do the journal lines it writes.
TEST_F(DemoTest, AFrenchCompanyHasFrenchNames) {
    admin::DemoOptions o{3, 2, 10, 1};
    o.language = schema::Language::French;
    admin::buildDemoCompany(dataDir, o);
    Database db(schema::companyDirOf(dataDir, 1));
    Query q(db, "SELECT (SELECT Period_mth FROM Periods WHERE Period_no = 8),"
                " (SELECT Ctrl_ar_dname5 || '/' || Ctrl_ap_dname1 FROM ctrl),"
                " (SELECT Glm_Description FROM glm WHERE Glm_account = 1200),"
                " (SELECT COUNT(*) FROM tjld WHERE Tjld_description = 'Accounts payable')");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).asString(), "août");
    EXPECT_EQ(q.value(1).asString(), "Plus de 120/Courant");
    EXPECT_EQ(q.value(2).asString(), "Comptes clients");
    EXPECT_EQ(q.value(3).asInt(), 0);
}
