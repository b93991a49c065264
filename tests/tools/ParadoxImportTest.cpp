// valmorand-admin import-paradox on tables written by pxlib's own writer
// from a company of ours: what comes back is what went out, field by field.
#include "tools/ParadoxImport.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"
#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace vm;

namespace {

struct Outcome {
    int status = -1;
    std::string output; // stdout and stderr together
};

Outcome admin(const std::vector<std::string>& args) {
    std::string cmd = "'" + std::string(VM_PROGRAM_DIR) + "/valmorand-admin'";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    cmd += " 2>&1";
    Outcome r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Every row of `table` in both databases, in insertion order, field by field.
void expectSameRows(Database& a, Database& b, const std::string& table) {
    Cursor x(a, table, true), y(b, table, true);
    int row = 0;
    for (bool more = x.first(), other = y.first(); more || other; more = x.next(), other = y.next(), ++row) {
        ASSERT_TRUE(more && other) << table << ": row counts differ at row " << row;
        for (int f = 0; f < x.fieldCount(); ++f)
            EXPECT_EQ(x.value(f), y.value(f))
                << table << " row " << row << " " << x.def().fields[f].name << ": " << x.value(f).asString()
                << " / " << y.value(f).asString();
    }
}

class ParadoxImport : public test::TempCompanyTest {
protected:
    void SetUp() override {
        src = company.rootDir() + "/paradox";
        fs::create_directories(src);
        company.addClient("C001", "Café Ébène Bérubé",
                          {{"Cli_city", "Trois-Rivières"},
                           {"Cli_comments", "Paie à 30 jours.\nContact : Mme Gagné"},
                           {"Cli_date_created", Date::fromYmd(2019, 3, 14)},
                           {"Cli_current_bal", Money::fromRaw(12345678)},
                           {"Cli_discount", 2.5},
                           {"Cli_tax_fed", true},
                           {"Cli_stamp", DateTime(Date::fromYmd(2026, 1, 2), 3723)}});
        company.addClient("C002", "Hôtel du Lac Œuf", {{"Cli_tax_pro", true}}); // no date: a null date
        company.addCar("C001", "F-100", "1", Date::fromYmd(2026, 11, 3), Money::fromRaw(10012345),
                       {{"Car_memo", "Livré à Lévis"}});
        company.addCar("C001", "F-100", "2", Date::fromYmd(2026, 11, 20), Money::fromRaw(-10012345));
        company.addCar("C002", "F-101", "1", Date::fromYmd(2026, 12, 1), Money::fromRaw(9999));
    }

    std::string src;
};

// Clients with accents in Windows-1252, ledger rows in CP850, money to four
// decimals (one value with a fifth, rounded and counted), dates, a null date,
// a memo; a table and a field we do not know are listed and skipped; the
// books check runs at the end.
TEST_F(ParadoxImport, CompanyComesBackFieldByField) {
    admin::ParadoxExportOptions cli;
    cli.extraField = "Cli_fidelity";
    EXPECT_EQ(admin::exportParadoxTable(company.db(), "cli", src + "/CLI.DB", cli), 2);
    admin::ParadoxExportOptions car;
    car.codePage = 850;
    car.adjust = [](const std::string& field, std::int64_t row, double v) {
        return field == "Car_amount" && row == 2 ? v + 0.00004 : v;
    };
    EXPECT_EQ(admin::exportParadoxTable(company.db(), "car", src + "/car.DB", car), 3);
    admin::exportParadoxTable(company.db(), "slsm", src + "/notes.db");

    const Outcome r = admin({"import-paradox", src, company.rootDir(), "2", "--name", "Café Import"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("notes.db: not a Valmorand table, skipped"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("field skipped: Cli_fidelity"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(", 1 rounded to ten-thousandths"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Books check:"), std::string::npos) << r.output;

    Database imported(schema::companyDirOf(company.dataDir(), 2));
    expectSameRows(company.db(), imported, "cli");
    expectSameRows(company.db(), imported, "car");
    EXPECT_TRUE(Cursor(imported, "cli", true).first());
    EXPECT_TRUE(schema::companyListed(company.dataRoot(), 2));
}

// A table that cannot be read stops the import by its name before anything
// is written; a company that holds rows is refused.
TEST_F(ParadoxImport, DamagedTableOrCompanyWithRowsIsRefused) {
    admin::exportParadoxTable(company.db(), "cli", src + "/cli.DB");
    admin::exportParadoxTable(company.db(), "car", src + "/car.DB");
    fs::resize_file(src + "/car.DB", fs::file_size(src + "/car.DB") / 2);

    Outcome r = admin({"import-paradox", src, company.rootDir(), "2"});
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("table car.DB cannot be read"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("nothing was written"), std::string::npos) << r.output;
    EXPECT_FALSE(schema::companyListed(company.dataRoot(), 2));
    EXPECT_FALSE(fs::exists(schema::companyDirOf(company.dataDir(), 2)));

    fs::remove(src + "/car.DB");
    r = admin({"import-paradox", src, company.rootDir(), "1"});
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("already holds rows"), std::string::npos) << r.output;
    EXPECT_EQ(Cursor(company.db(), "cli", true).recordCount(), 2);
}

// --root makes a new data root from the old one's system tables; a company
// it lists is then imported into that listing, which keeps its name.
TEST_F(ParadoxImport, DataRootThenItsCompany) {
    const std::string oldRoot = src + "/data";
    fs::create_directories(oldRoot);
    for (const char* t : {"comp", "user", "arterms"})
        admin::exportParadoxTable(company.dataRoot(), t, oldRoot + "/" + t + ".DB");
    for (const char* t : {"ctrl", "Periods", "cli", "car"})
        admin::exportParadoxTable(company.db(), t, src + "/" + t + ".DB");
    const std::string dir = company.rootDir() + "/new";
    fs::create_directories(dir);

    Outcome r = admin({"import-paradox", oldRoot, dir, "--root"});
    ASSERT_EQ(r.status, 0) << r.output;
    r = admin({"import-paradox", oldRoot, dir, "--root"});
    EXPECT_EQ(r.status, 2) << r.output;
    r = admin({"import-paradox", src, dir, "1"});
    ASSERT_EQ(r.status, 0) << r.output;

    Database root(schema::dataDirOf(dir));
    expectSameRows(company.dataRoot(), root, "comp");
    expectSameRows(company.dataRoot(), root, "user");
    Database imported(schema::companyDirOf(schema::dataDirOf(dir), 1));
    for (const char* t : {"ctrl", "Periods", "cli", "car"})
        expectSameRows(company.db(), imported, t);
}

// An import into a server is refused before anything is made: its lock
// file and clean-up would have written files named after the address.
TEST_F(ParadoxImport, AServerIsRefusedAndNothingIsLeftBehind) {
    const std::string here = fs::current_path().string();
    fs::current_path(src);
    const std::string server = "postgresql://nobody@/none?host=" + src + "&port=1";
    for (const auto& args : {std::vector<std::string>{"import-paradox", src, server, "2"},
                             std::vector<std::string>{"import-paradox", src, server, "--root"}}) {
        const Outcome r = admin(args);
        EXPECT_EQ(r.status, 2) << r.output;
        EXPECT_NE(r.output.find("valmorand-admin copy"), std::string::npos) << r.output;
    }
    fs::current_path(here);
    EXPECT_TRUE(fs::is_empty(src));
}

} // namespace
