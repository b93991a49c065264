// Per-session work tables: layouts copied from the templates, one set per
// session number, replaced on each creation.
#include "engine/EngineError.h"
#include "tests/fixture/TempCompany.h"
#include <algorithm>

using namespace vm;
using vm::test::TempCompanyTest;

namespace {

std::vector<std::string> names(const TableDef& def) {
    std::vector<std::string> n;
    for (const auto& f : def.fields)
        n.push_back(f.name);
    return n;
}

} // namespace

TEST_F(TempCompanyTest, OpenItemTableIsTheLedgerWithThePaymentAfterTheTaxes) {
    schema::createCashReceiptWorkTables(company.db(), company.dataRoot(), 3);
    const TableDef work = company.db().tableDef("car_temp3");
    std::vector<std::string> expected = names(company.db().tableDef("car"));
    const auto at = std::find(expected.begin(), expected.end(), "Car_fed_tax");
    ASSERT_NE(at, expected.end());
    expected.insert(at + 1, "Car_Payment");
    EXPECT_EQ(names(work), expected);
    for (const auto& f : company.db().tableDef("car").fields) {
        const FieldDef* w = work.field(f.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->type, f.type) << f.name;
        EXPECT_EQ(w->size, f.size) << f.name;
    }
    EXPECT_EQ(work.field("Car_Payment")->type, FieldType::Money);
    ASSERT_NE(work.index("Invoice"), nullptr);
    EXPECT_EQ(work.index("Invoice")->fields, std::vector<std::string>{"Car_invoice"});

    const TableDef dist = company.db().tableDef("artmp3");
    EXPECT_EQ(names(dist), (std::vector<std::string>{"Tmp_account", "Tmp_desc", "Tmp_debit", "Tmp_credit"}));
    EXPECT_EQ(dist.field("Tmp_desc")->size, 30);

    Cursor totals(company.db(), "cxtmp3", true);
    EXPECT_EQ(totals.recordCount(), 1);
    ASSERT_TRUE(totals.first());
    EXPECT_EQ(totals.money("TotalDebit"), Money());
    EXPECT_FALSE(totals.isNull("TotalCredit"));
}

// Session 0 is a real session; re-creating one session's tables empties
// them and leaves the other sessions' tables alone.
TEST_F(TempCompanyTest, EachSessionGetsItsOwnFreshWorkTables) {
    Database& db = company.db();
    schema::createCashReceiptWorkTables(db, company.dataRoot(), 0);
    schema::createCashReceiptWorkTables(db, company.dataRoot(), 1);
    ASSERT_TRUE(db.tableExists("car_temp0"));
    ASSERT_TRUE(db.tableExists("artmp0"));
    ASSERT_TRUE(db.tableExists("cxtmp0"));

    company.addRow("artmp0", {{"Tmp_account", 1010}, {"Tmp_debit", Money::fromUnits(5)}});
    company.addRow("artmp1", {{"Tmp_account", 1200}});
    company.addRow("car_temp1", {{"Car_invoice", "77"}, {"Car_Payment", Money::fromUnits(3)}});

    schema::createCashReceiptWorkTables(db, company.dataRoot(), 0);
    EXPECT_EQ(Cursor(db, "artmp0", true).recordCount(), 0);
    EXPECT_EQ(Cursor(db, "cxtmp0", true).recordCount(), 1); // still exactly one totals row
    EXPECT_EQ(Cursor(db, "artmp1", true).recordCount(), 1);
    EXPECT_EQ(Cursor(db, "car_temp1", true).recordCount(), 1);

    // The templates in the data root are never written through a session.
    EXPECT_EQ(Cursor(company.dataRoot(), "car_temp0", true).recordCount(), 0);
    EXPECT_THROW(schema::createCashReceiptWorkTables(db, company.dataRoot(), -1), schema::SchemaError);
}

TEST_F(TempCompanyTest, PayablesChequeAndInquiryWorkTables) {
    Database& db = company.db();
    schema::createDisbursementWorkTables(db, company.dataRoot(), 2);
    EXPECT_TRUE(db.tableExists("car_temp2"));
    EXPECT_TRUE(db.tableExists("aptmp2"));
    EXPECT_EQ(Cursor(db, "cxtmp2", true).recordCount(), 1);

    schema::createChequeWorkTables(db, company.dataRoot(), 2);
    const TableDef lines = db.tableDef("apchqdtmp2");
    EXPECT_TRUE(lines.indexes.empty());
    EXPECT_TRUE(lines.primaryKey.empty());
    // Copied position by position from apchqd: the same fields in the same order.
    EXPECT_EQ(names(lines), names(db.tableDef("apchqd")));
    EXPECT_TRUE(lines.field("Apchqd_seq")->required);
    EXPECT_NE(db.tableDef("car_temp2").index("Invoice"), nullptr);

    schema::createInquiryWorkTable(db, 2);
    const TableDef inq = db.tableDef("Cartmp2");
    EXPECT_EQ(inq.primaryKey.size(), 6u);
    const test::Fields row = {{"Cartmp_client", "C1"},
                              {"Cartmp_invoice", "1"},
                              {"Cartmp_date", Date::fromYmd(2026, 1, 2)},
                              {"Cartmp_seq", 1}};
    company.addRow("Cartmp2", row);
    EXPECT_THROW(company.addRow("Cartmp2", row), EngineError);
}

// A work table left by an older layout is replaced by the current one, not
// reused.
TEST_F(TempCompanyTest, StaleWorkTableOfAnotherLayoutIsReplaced) {
    Database& db = company.db();
    db.createTable(TableDef{"car_temp5", {{"Car_invoice", FieldType::Text, 10, false}}, {}, {}});
    company.addRow("car_temp5", {{"Car_invoice", "OLD"}});
    schema::createCashReceiptWorkTables(db, company.dataRoot(), 5);
    const TableDef t = db.tableDef("car_temp5");
    EXPECT_NE(t.field("Car_Payment"), nullptr);
    EXPECT_NE(t.index("Invoice"), nullptr);
    EXPECT_EQ(Cursor(db, "car_temp5", true).recordCount(), 0);
}

// Without its template the set is not made, and the session's previous
// tables are kept as they were.
TEST_F(TempCompanyTest, MissingTemplateLeavesThePreviousSet) {
    Database& db = company.db();
    schema::createCashReceiptWorkTables(db, company.dataRoot(), 4);
    company.addRow("artmp4", {{"Tmp_account", 1010}});
    company.dataRoot().dropTable("artmp");
    EXPECT_THROW(schema::createCashReceiptWorkTables(db, company.dataRoot(), 4), EngineError);
    ASSERT_TRUE(db.tableExists("artmp4"));
    EXPECT_EQ(Cursor(db, "artmp4", true).recordCount(), 1);
    EXPECT_TRUE(db.tableExists("car_temp4"));
}
