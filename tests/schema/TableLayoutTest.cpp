// The declared layouts as the engine stores them in a new company.
#include "tests/fixture/TempCompany.h"

#include <set>

using namespace vm;
using vm::test::TempCompanyTest;

namespace {

std::string lower(std::string s) {
    for (auto& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

} // namespace

// Every declaration must be usable as it stands: unique field names, keys and
// indexes on existing fields, sized text, at most one auto-increment.
TEST(TableDeclarations, AreConsistent) {
    std::set<std::string> tableNames;
    for (const auto* list : {&schema::systemTables(), &schema::templateTables(), &schema::companyTables()}) {
        for (const auto& t : *list) {
            SCOPED_TRACE(t.name);
            EXPECT_TRUE(tableNames.insert(lower(t.name)).second) << "declared twice";
            std::set<std::string> seen;
            int autoIncs = 0;
            for (const auto& f : t.fields) {
                EXPECT_TRUE(seen.insert(lower(f.name)).second) << f.name << " twice";
                if (f.type == FieldType::Text) {
                    EXPECT_GT(f.size, 0) << f.name;
                }
                autoIncs += f.type == FieldType::AutoInc;
            }
            EXPECT_LE(autoIncs, 1);
            for (const auto& k : t.primaryKey)
                EXPECT_NE(t.field(k), nullptr) << "key field " << k;
            for (const auto& ix : t.indexes)
                for (const auto& k : ix.fields)
                    EXPECT_NE(t.field(k), nullptr) << "index " << ix.name << " field " << k;
        }
    }
}

TEST(TableDeclarations, NumberedSeriesAndSpellings) {
    const TableDef* ctrl = schema::findTable("ctrl.DB");
    ASSERT_NE(ctrl, nullptr);
    const int n1 = ctrl->fieldIndex("Ctrl_pmt_name1");
    ASSERT_GE(n1, 0);
    for (int i = 2; i <= 10; ++i)
        EXPECT_EQ(ctrl->fieldIndex("Ctrl_pmt_name" + std::to_string(i)), n1 + i - 1);
    EXPECT_EQ(ctrl->field("Ctrl_pmt_name10")->size, 15);
    // Currencies interleave name, rate and sign.
    EXPECT_EQ(ctrl->fieldIndex("Ctrl_curr2_name"), ctrl->fieldIndex("Ctrl_curr1_sign") + 1);
    EXPECT_EQ(ctrl->field("Ctrl_curr3_rate")->type, FieldType::Float);
    EXPECT_EQ(ctrl->fieldIndex("Ctrl_cents5"), ctrl->fieldIndex("Ctrl_dollars5") + 1);
    EXPECT_EQ(ctrl->field("Ctrl_ar_curr1"), nullptr); // the foreign series start at 2

    const TableDef* glm = schema::findTable("glm");
    EXPECT_EQ(glm->fields.size(), 4u + 3u * 14u + 1u);
    const TableDef* emp = schema::findTable("emp");
    EXPECT_NE(emp->field("EMP_Ded7_Taxable"), nullptr);
    EXPECT_NE(emp->field("Emp_YTD_ded2"), nullptr);
    EXPECT_NE(emp->field("Emp_YTD_Ded3"), nullptr);
    const TableDef* fadeta = schema::findTable("fadeta");
    EXPECT_NE(fadeta->field("Fadeta_invoice"), nullptr);
    EXPECT_NE(fadeta->field("Fadet_core_cost"), nullptr);
    const TableDef* apori = schema::findTable("apori");
    EXPECT_NE(apori->field("Credit15"), nullptr);
    EXPECT_EQ(apori->field("Credit16"), nullptr);
    EXPECT_NE(schema::findTable("cdorihdr")->field("Credit20"), nullptr);
    EXPECT_EQ(schema::findTable("nosuchtable"), nullptr);
    EXPECT_EQ(schema::findTable("../cli"), nullptr);
}

// What the engine keeps of each company table is what was declared, field
// for field and index for index.
TEST_F(TempCompanyTest, StoredLayoutsMatchDeclarations) {
    for (const auto& declared : schema::companyTables()) {
        SCOPED_TRACE(declared.name);
        const TableDef stored = company.db().tableDef(declared.name);
        ASSERT_EQ(stored.fields.size(), declared.fields.size());
        for (std::size_t i = 0; i < stored.fields.size(); ++i) {
            EXPECT_EQ(stored.fields[i].name, declared.fields[i].name);
            EXPECT_EQ(stored.fields[i].type, declared.fields[i].type) << declared.fields[i].name;
            EXPECT_EQ(stored.fields[i].size, declared.fields[i].size) << declared.fields[i].name;
            EXPECT_EQ(stored.fields[i].required, declared.fields[i].required) << declared.fields[i].name;
        }
        EXPECT_EQ(stored.primaryKey, declared.primaryKey);
        ASSERT_EQ(stored.indexes.size(), declared.indexes.size());
        for (const auto& ix : declared.indexes) {
            const IndexDef* s = stored.index(ix.name);
            ASSERT_NE(s, nullptr) << ix.name;
            EXPECT_EQ(s->fields, ix.fields);
        }
    }
}

// Every table a module opens, by the name it uses, in the directory it uses.
TEST_F(TempCompanyTest, EveryTableTheModulesOpenExists) {
    const char* const companyTables[] = {
        "ctrl.DB",     "glm.db",    "cli.DB",    "cli2.db",    "sup.db",   "slsm.DB",  "emp.db",
        "trkdb.db",    "ivctrl.DB", "ivprod.db", "Periods.db", "car.DB",   "carh.db",  "crorihdr.db",
        "croridet.db", "concil.db", "cap.db",    "caph.db",    "tjlh.DB",  "tjld.DB",  "gla.db",
        "apori",       "arori",     "cdorihdr",  "cdoridet",   "apchqh",   "apchqd",   "recchqh",
        "recchqd",     "fahdr",     "fadet",     "fahdra",     "fadeta",   "fa1frm",   "fa1frm1",
        "fa1frm2",     "Fafrm1.db", "arecfrm",   "arecfrm1",   "arecfrm2", "Earecfrm", "Earecfrm1",
        "Earecfrm2"};
    for (const char* t : companyTables) {
        EXPECT_TRUE(company.db().tableExists(t)) << t;
        EXPECT_NO_THROW(Cursor(company.db(), t, true)) << t;
    }
    const char* const rootTables[] = {"comp.db",    "session.db",   "apps.db",    "user.db",
                                      "desktop.db", "languages.db", "arterms.db", "arterr.db",
                                      "virmem",     "car_temp0",    "car_temp1",  "artmp"};
    for (const char* t : rootTables)
        EXPECT_TRUE(company.dataRoot().tableExists(t)) << t;
    // The company holds no system table and the root no ledger.
    EXPECT_FALSE(company.db().tableExists("user"));
    EXPECT_FALSE(company.dataRoot().tableExists("car"));
}

// The modules rely on one client's rows coming grouped by invoice, whatever
// the dates and types, and on the payables index starting with supplier and
// invoice.
TEST_F(TempCompanyTest, LedgerIndexesGroupByInvoice) {
    const Date d1 = Date::fromYmd(2026, 3, 1), d2 = Date::fromYmd(2026, 1, 15),
               d3 = Date::fromYmd(2026, 5, 2);
    company.addCar("C2", "500", "1", d1, Money::fromUnits(10));
    company.addCar("C1", "200", "1", d3, Money::fromUnits(100));
    company.addCar("C1", "100", "1", d1, Money::fromUnits(50));
    company.addCar("C1", "200", "2", d2, Money::fromUnits(-30), {{"Car_ref", "R1"}});
    company.addCar("C1", "100", "2", d3, Money::fromUnits(-50), {{"Car_ref", "R2"}});
    company.addCar("C1", "100", "4", d2, Money::fromUnits(5), {{"Car_ref", "R0"}});

    Cursor car(company.db(), "car", true);
    car.setIndex("Car_client");
    car.setRange({Value("C1")});
    std::vector<std::string> seen;
    for (bool ok = car.first(); ok && !car.eof(); ok = car.next())
        seen.push_back(car.str("Car_invoice") + "/" + car.str("Car_ref"));
    EXPECT_EQ(seen, (std::vector<std::string>{"100/", "100/R0", "100/R2", "200/", "200/R1"}));

    company.addCap("S1", "A-7", "1", d1, Money::fromUnits(70));
    company.addCap("S1", "A-7", "2", d3, Money::fromUnits(-70), {{"Cap_ref", "1001"}});
    Cursor cap(company.db(), "cap", true);
    EXPECT_NO_THROW(cap.setIndexFields("Cap_supplier;Cap_invoice"));
    EXPECT_TRUE(cap.findNearest({Value("S1"), Value("A-7")}));
    EXPECT_EQ(cap.str("Cap_type"), "1");
}
