#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "tests/fixture/PgServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace vm;
using vm::test::TempLocation;

namespace {

TableDef ledgerDef(const std::string& name = "car") {
    TableDef d;
    d.name = name;
    d.fields = {{"Car_client", FieldType::Text, 10}, {"Car_invoice", FieldType::Text, 10},
                {"Car_ref", FieldType::Text, 10},    {"Car_date", FieldType::Date},
                {"Car_type", FieldType::Text, 1},    {"Car_seq", FieldType::AutoInc},
                {"Car_amount", FieldType::Money},    {"Car_memo", FieldType::Memo, 200}};
    d.indexes = {
        {"Car_client", {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_seq"}, false}};
    return d;
}

TableDef clientDef() {
    TableDef d;
    d.name = "cli";
    d.fields = {{"Cli_code", FieldType::Text, 10, true},
                {"Cli_name", FieldType::Text, 60},
                {"Cli_salesrep", FieldType::Text, 12},
                {"Cli_current_bal", FieldType::Money},
                {"Cli_terms", FieldType::Int32}};
    d.primaryKey = {"Cli_code"};
    d.indexes = {{"clislsm", {"Cli_salesrep", "Cli_code"}, false}};
    return d;
}

void addLedger(Cursor& c, const std::string& client, const std::string& inv, const std::string& type,
               int cents, Date date = Date::fromYmd(2026, 1, 15)) {
    c.insert();
    c.set("Car_client", client);
    c.set("Car_invoice", inv);
    c.set("Car_type", type);
    c.set("Car_date", date);
    c.set("Car_amount", Money::fromCents(cents));
    c.post();
}

std::vector<std::string> walk(Cursor& c, const char* field) {
    std::vector<std::string> out;
    for (bool ok = c.first(); ok; ok = c.next())
        out.push_back(c.str(field));
    return out;
}

class CursorTest : public ::testing::TestWithParam<vm::test::Backend> {
protected:
    TempLocation dir{GetParam()};
    Session session;
    Database& db = session.database(dir.path());
};

} // namespace

TEST_P(CursorTest, TableNamesIgnoreCaseAndDbSuffix) {
    db.createTable(clientDef());
    EXPECT_TRUE(db.tableExists("CLI.DB"));
    EXPECT_TRUE(db.tableExists("cli.db"));
    Cursor c(db, "Cli.DB");
    EXPECT_EQ(c.fieldIndex("cli_NAME"), 1);
    EXPECT_THROW(Cursor(db, "nothere"), EngineError);
    try {
        Cursor bad(db, "cli; DROP TABLE cli");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kTableNotFound);
    }
    EXPECT_TRUE(db.tableExists("cli"));
    EXPECT_THROW(db.createTable(clientDef()), EngineError); // exists, no replace
}

TEST_P(CursorTest, PrimaryAndSecondaryOrderFindAndNearest) {
    db.createTable(clientDef());
    Cursor c(db, "cli");
    const char* rows[][3] = {
        {"C300", "Zed", "S2"}, {"C100", "Alpha", "S2"}, {"C200", "Beta", "S1"}, {"B050", "Gamma", "S1"}};
    for (auto& r : rows) {
        c.insert();
        c.set("Cli_code", r[0]);
        c.set("Cli_name", r[1]);
        c.set("Cli_salesrep", r[2]);
        c.post();
    }
    EXPECT_EQ(walk(c, "Cli_code"), (std::vector<std::string>{"B050", "C100", "C200", "C300"}));
    c.setIndex("clislsm");
    EXPECT_EQ(walk(c, "Cli_code"), (std::vector<std::string>{"B050", "C200", "C100", "C300"}));
    EXPECT_TRUE(c.findKey({"S2", "C300"}));
    EXPECT_EQ(c.str("Cli_name"), "Zed");
    EXPECT_FALSE(c.findKey({"S9", "C300"}));
    EXPECT_EQ(c.str("Cli_name"), "Zed"); // failed find keeps the row
    c.setIndex("");
    EXPECT_TRUE(c.findNearest({"C15"}));
    EXPECT_EQ(c.str("Cli_code"), "C200");
    EXPECT_TRUE(c.next());
    EXPECT_EQ(c.str("Cli_code"), "C300");
    EXPECT_FALSE(c.next());
    EXPECT_TRUE(c.eof());
    EXPECT_EQ(c.str("Cli_code"), "C300"); // stays on the last row
    EXPECT_TRUE(c.prior());
    EXPECT_EQ(c.str("Cli_code"), "C200");
    EXPECT_FALSE(c.findNearest({"D"}));
    EXPECT_TRUE(c.eof());
    // Text compares byte by byte: lower case after upper case.
    c.insert();
    c.set("Cli_code", "a001");
    c.post();
    EXPECT_TRUE(c.last());
    EXPECT_EQ(c.str("Cli_code"), "a001");
}

// A server reads a walk a page at a time, and a query's rows in batches,
// each longer than the last: every order, both ways, crosses pages without
// losing or repeating a row (blank dates among the keys).
TEST_P(CursorTest, WalksCrossPagesInEveryOrderBothWays) {
    db.createTable(clientDef());
    db.createTable(ledgerDef());
    constexpr int kRows = 1600; // pages of 200, 400 and 800 rows, then the rest
    std::vector<std::string> codes, written, byClient;
    std::vector<std::pair<std::string, std::string>> byRep;
    {
        Transaction tx(db, true, true);
        Cursor cli(db, "cli"), car(db, "car");
        for (int i = 0; i < kRows; ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "C%04d", (i * 7) % kRows);
            cli.insert();
            cli.set("Cli_code", code);
            cli.set("Cli_salesrep", "S" + std::to_string(i % 3));
            cli.post();
            addLedger(car, code, "I", "1", i, i % 4 ? Date::fromYmd(2026, 1, 1 + i % 28) : Date());
            codes.push_back(code);
            written.push_back(code);
            byClient.push_back(code);
            byRep.emplace_back("S" + std::to_string(i % 3), code);
        }
        tx.commit();
    }
    std::sort(codes.begin(), codes.end());
    std::sort(byClient.begin(), byClient.end());
    std::sort(byRep.begin(), byRep.end());
    std::vector<std::string> repOrder;
    for (const auto& r : byRep)
        repOrder.push_back(r.second);
    auto both = [](Cursor& c, const char* field) {
        std::vector<std::string> forth = walk(c, field), back;
        for (bool ok = c.last(); ok; ok = c.prior())
            back.push_back(c.str(field));
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, forth);
        return forth;
    };
    Cursor cli(db, "cli", true), car(db, "car", true);
    EXPECT_EQ(both(cli, "Cli_code"), codes);
    cli.setIndex("clislsm");
    EXPECT_EQ(both(cli, "Cli_code"), repOrder);
    EXPECT_EQ(both(car, "Car_client"), written);
    car.setIndex("Car_client");
    EXPECT_EQ(both(car, "Car_client"), byClient);
    std::vector<std::string> queried; // batches of 500 and 1,000 rows, then the rest
    Query q(db, "SELECT Car_client FROM car ORDER BY Car_client");
    while (q.next())
        queried.push_back(q.value(0).asString());
    EXPECT_EQ(queried, byClient);
}

TEST_P(CursorTest, ClientLedgerRangeKeepsInvoicesTogether) {
    db.createTable(ledgerDef());
    Cursor car(db, "car");
    addLedger(car, "C1", "I2", "1", 5000, Date::fromYmd(2026, 3, 1));
    addLedger(car, "C2", "I1", "1", 700);
    addLedger(car, "C1", "I1", "1", 1000, Date::fromYmd(2026, 5, 1));
    addLedger(car, "C1", "I2", "2", -2000, Date::fromYmd(2026, 1, 1));
    addLedger(car, "C1", "I1", "2", -400, Date::fromYmd(2026, 2, 1));
    car.setIndex("Car_client");
    car.setRange({"C1"});
    std::vector<std::string> seen;
    Money sum;
    for (bool ok = car.first(); ok; ok = car.next()) {
        seen.push_back(car.str("Car_invoice") + "/" + car.str("Car_type"));
        sum += car.money("Car_amount");
    }
    // Grouped by invoice, then by reference, date and type within it.
    EXPECT_EQ(seen, (std::vector<std::string>{"I1/2", "I1/1", "I2/2", "I2/1"}));
    EXPECT_EQ(sum, Money::fromCents(3600));
    EXPECT_EQ(car.recordCount(), 4);
    car.setRange({"C1", "I2"}, {"C2"});
    EXPECT_EQ(car.recordCount(), 3);
    car.cancelRange();
    EXPECT_EQ(car.recordCount(), 5);
    car.setFilter([](const Cursor& c) { return c.money("Car_amount") < Money(); });
    EXPECT_EQ(car.recordCount(), 2);
    EXPECT_EQ(walk(car, "Car_invoice"), (std::vector<std::string>{"I1", "I2"}));
}

TEST_P(CursorTest, DetailFollowsMaster) {
    db.createTable(clientDef());
    db.createTable(ledgerDef());
    Cursor cli(db, "cli");
    for (auto code : {"A", "B", "C"}) {
        cli.insert();
        cli.set("Cli_code", code);
        cli.post();
    }
    Cursor car(db, "car");
    addLedger(car, "A", "1", "1", 100);
    addLedger(car, "C", "1", "1", 300);
    addLedger(car, "C", "2", "1", 301);
    car.setIndex("Car_client");
    car.linkTo(cli, {"Cli_code"});
    cli.first();
    EXPECT_EQ(car.recordCount(), 1);
    cli.next();
    EXPECT_FALSE(car.hasRow());
    EXPECT_TRUE(car.isEmpty());
    cli.next();
    EXPECT_EQ(walk(car, "Car_invoice"), (std::vector<std::string>{"1", "2"}));
    cli.findKey({"A"});
    EXPECT_EQ(car.money("Car_amount"), Money::fromCents(100));
}

TEST_P(CursorTest, RequiredFieldsKeysAndBadValues) {
    db.createTable(clientDef());
    Cursor c(db, "cli");
    c.insert();
    c.set("Cli_name", "No code");
    try {
        c.post();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kRequiredField);
    }
    EXPECT_EQ(c.state(), Cursor::State::Insert); // still there to be mended
    c.set("Cli_code", "K1");
    c.post();
    c.insert();
    c.set("Cli_code", "K1");
    try {
        c.post();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kKeyViolation);
        EXPECT_EQ(e.category(), 0x26);
    }
    c.cancel();
    EXPECT_EQ(c.str("Cli_code"), "K1");
    c.edit();
    EXPECT_THROW(c.set("Cli_terms", "ten"), EngineError);
    EXPECT_THROW(c.set("Cli_current_bal", "1.23456"), EngineError);
    c.set("Cli_terms", "30");
    c.set("Cli_name", std::string(80, 'x')); // cut to 60
    c.post();
    EXPECT_EQ(c.integer("Cli_terms"), 30);
    EXPECT_EQ(c.str("Cli_name").size(), 60u);
    EXPECT_EQ(c.recordCount(), 1);
}

TEST_P(CursorTest, TemplateCopyKeepsFieldOrderAndIndexes) {
    TableDef tmp = ledgerDef("car_temp0");
    tmp.fields.insert(tmp.fields.begin() + 7, FieldDef{"Car_Payment", FieldType::Money});
    tmp.indexes = {{"Invoice", {"Car_invoice"}, false}};
    TempLocation other{GetParam()};
    Database& root = session.database(other.path());
    root.createTable(tmp);
    db.createTableFrom(root, "car_temp0", "car_temp3");
    TableDef copy = db.tableDef("CAR_TEMP3");
    ASSERT_EQ(copy.fields.size(), tmp.fields.size());
    for (std::size_t i = 0; i < tmp.fields.size(); ++i)
        EXPECT_EQ(copy.fields[i].name, tmp.fields[i].name);
    ASSERT_NE(copy.index("invoice"), nullptr);
    // Re-creating replaces the rows too.
    {
        Cursor c(db, "car_temp3");
        addLedger(c, "X", "9", "1", 1);
    }
    db.createTableFrom(root, "car_temp0", "car_temp3");
    Cursor c(db, "car_temp3");
    EXPECT_TRUE(c.isEmpty());
}

TEST_P(CursorTest, WritesDuringAWalkDoNotLoseThePlace) {
    db.createTable(ledgerDef());
    Cursor writer(db, "car");
    for (int i = 0; i < 50; ++i)
        addLedger(writer, "C" + std::to_string(100 + i), "I", "1", i);
    Cursor reader(db, "car");
    reader.setIndex("Car_client");
    int n = 0;
    for (bool ok = reader.first(); ok; ok = reader.next()) {
        ++n;
        if (n % 10 == 0) addLedger(writer, "A", "Z", "1", 1); // sorts before the walk: not revisited
        reader.edit();
        reader.set("Car_memo", "seen");
        reader.post();
    }
    EXPECT_EQ(n, 50);
    EXPECT_EQ(reader.recordCount(), 55);
}

TEST_P(CursorTest, QueryReturnsTypedColumnsAndSums) {
    db.createTable(ledgerDef());
    Cursor car(db, "car");
    addLedger(car, "C1", "I1", "1", 12345);
    addLedger(car, "C1", "I2", "1", 55);
    Query q(db,
            "SELECT Car_client, SUM(Car_amount) AS total, MAX(Car_date) AS d FROM car WHERE Car_client = ? "
            "GROUP BY Car_client",
            {"C1"});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value("Car_client").asString(), "C1");
    EXPECT_EQ(q.money("total"), Money::fromCents(12400));
    EXPECT_FALSE(q.next());
    // TOTAL() comes back real: the same ten-thousandths as SUM().
    Query total(db, "SELECT TOTAL(Car_amount), TOTAL(Car_amount) / 2 FROM car");
    ASSERT_TRUE(total.next());
    EXPECT_EQ(total.money(0), Money::fromCents(12400));
    EXPECT_EQ(total.money(1), Money::fromCents(6200));
    Query one(db, "SELECT Car_amount, Car_date FROM car ORDER BY Car_seq");
    ASSERT_TRUE(one.next());
    EXPECT_EQ(one.value(0).asMoney(), Money::fromCents(12345));
    EXPECT_EQ(one.value(1).asDate(), Date::fromYmd(2026, 1, 15));
    EXPECT_THROW(Query(db, "DELETE FROM car"), EngineError);
    EXPECT_EQ(db.execute("DELETE FROM car WHERE Car_invoice = ?", {"I2"}), 1);
}

// A query's ORDER BY sorts blanks first, as cursors do, on both backends
// (a ledger row without a date heads its invoice in statements and aging).
TEST_P(CursorTest, QueriesSortBlanksFirst) {
    db.createTable(ledgerDef());
    Cursor car(db, "car");
    addLedger(car, "C1", "I1", "1", 100, Date::fromYmd(2026, 2, 1));
    addLedger(car, "C1", "I1", "2", 200, Date());
    addLedger(car, "C1", "I2", "1", 300, Date::fromYmd(2026, 1, 1));
    auto order = [&](const std::string& sql) {
        std::string seen;
        Query q(db, sql);
        while (q.next())
            seen += std::to_string(q.money(0).raw() / 10000);
        return seen;
    };
    EXPECT_EQ(order("SELECT Car_amount FROM car ORDER BY Car_invoice, Car_date"), "213");
    EXPECT_EQ(order("SELECT Car_amount FROM car ORDER BY Car_date DESC, (Car_seq) LIMIT 5"), "132");
    EXPECT_EQ(order("SELECT Car_amount FROM car WHERE Car_seq IN (SELECT Car_seq FROM car ORDER BY Car_date "
                    "LIMIT 2) ORDER BY COALESCE(Car_date, '9') ASC"),
              "32");
}

// The data root's table of users is named "user", a word the server reads
// as its own current role.
TEST_P(CursorTest, AQueryOnTheUserTableReadsTheTable) {
    db.createTable(ledgerDef("user"));
    Cursor users(db, "user");
    addLedger(users, "C1", "I1", "1", 1);
    addLedger(users, "C1", "I2", "1", 2);
    Query q(db, "SELECT COUNT(*) FROM user WHERE Car_client = 'C1'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).asInt(), 2);
}

TEST_P(CursorTest, ADamagedCatalogueEntryIsRefusedWithAClearError) {
    db.createTable(clientDef());
    auto openAfter = [&](const char* from, const char* to) {
        db.execute("UPDATE _vm_catalog SET def = replace(def, ?, ?) WHERE name = 'cli'", {from, to});
        Session fresh; // reads the catalogue anew
        try {
            Cursor c(fresh.database(dir.path()), "cli");
            return std::string("opened");
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), errc::kBadCatalog) << e.what();
            EXPECT_NE(std::string(e.what()).find("table cli is damaged"), std::string::npos) << e.what();
            return std::string(e.what());
        }
    };
    // Money (type 4) becomes an unknown type, then back, then its size text.
    EXPECT_NE(openAfter("Cli_current_bal\t4\t", "Cli_current_bal\t99\t"), "opened");
    EXPECT_EQ(openAfter("Cli_current_bal\t99\t", "Cli_current_bal\t4\t"), "opened");
    EXPECT_NE(openAfter("Cli_name\t0\t60", "Cli_name\t0\t6x"), "opened");
    EXPECT_NE(openAfter("Cli_name\t0\t6x", "Cli_name\t0\t"), "opened");
}

TEST_P(CursorTest, TableDefinitionsFollowARecreationByAnotherSession) {
    db.createTable(clientDef());
    { Cursor warm(db, "cli"); } // the definition is now cached here
    Session other;
    TableDef wider = clientDef();
    wider.fields.push_back({"Cli_extra", FieldType::Money});
    other.database(dir.path()).createTable(wider, true);
    Cursor c(db, "cli");
    EXPECT_TRUE(c.hasField("Cli_extra"));
    other.database(dir.path()).dropTable("cli");
    EXPECT_FALSE(db.tableExists("cli"));
    EXPECT_THROW(Cursor(db, "cli"), EngineError);
}

// A work table's definition is kept without asking the database again, so
// what changes it in this process must be seen: another session's
// re-creation, and a re-creation rolled back.
TEST_P(CursorTest, AWorkTableDefinitionFollowsEveryChangeOfThisProcess) {
    TableDef work = clientDef();
    work.name = "clitmp1";
    work.work = true;
    db.createTable(work);
    { Cursor warm(db, "clitmp1"); }
    Session other;
    TableDef wider = work;
    wider.fields.push_back({"Cli_extra", FieldType::Money});
    other.database(dir.path()).createTable(wider, true);
    EXPECT_TRUE(Cursor(db, "clitmp1").hasField("Cli_extra"));
    {
        Transaction tx(db);
        db.createTable(work, true);
        EXPECT_FALSE(Cursor(db, "clitmp1").hasField("Cli_extra"));
    } // rolled back
    EXPECT_TRUE(Cursor(db, "clitmp1").hasField("Cli_extra"));
    other.database(dir.path()).dropTable("clitmp1");
    EXPECT_FALSE(db.tableExists("clitmp1"));
}

INSTANTIATE_TEST_SUITE_P(Backends, CursorTest, VM_BOTH_BACKENDS);
