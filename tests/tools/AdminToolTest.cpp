// valmorand-admin run as a user runs it: exit status, messages, and what is
// (or is not) left on disk.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"
#include "tests/fixture/PgServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace vm;

namespace {

struct Outcome {
    int status = -1;
    std::string output; // stdout and stderr together
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char ch : s)
        q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

Outcome admin(const std::vector<std::string>& args) {
    std::string cmd = quoted(std::string(VM_PROGRAM_DIR) + "/valmorand-admin");
    for (const auto& a : args)
        cmd += " " + quoted(a);
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

class AdminTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::string p = (fs::temp_directory_path() / "vmadmin.XXXXXX").string();
        ASSERT_NE(mkdtemp(p.data()), nullptr);
        dir = p;
        dataDir = dir + "/Valmorand/data";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void init() { ASSERT_EQ(admin({"init", dir}).status, 0); }

    std::string dir, dataDir;
};

std::int64_t scalar(Database& db, const std::string& sql) {
    Query q(db, sql);
    return q.next() ? q.value(0).asInt() : -1;
}

} // namespace

TEST_F(AdminTool, InitCreatesTheDataRootAndItsUsers) {
    const Outcome r = admin({"init", dir});
    EXPECT_EQ(r.status, 0) << r.output;
    ASSERT_TRUE(schema::isDataRoot(dataDir));
    Database root(dataDir);
    Cursor users(root, "user", true);
    EXPECT_TRUE(users.findKey({Value("ADMIN")}));
    EXPECT_TRUE(users.findKey({Value("CLERK")}));
    EXPECT_EQ(users.str("User_name"), "Counter Clerk");

    const Outcome again = admin({"init", dir});
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.output.find("already"), std::string::npos) << again.output;
}

TEST_F(AdminTool, InitRefusesABadDirectoryWithoutCreatingAnything) {
    const std::string missing = dir + "/no/such/place";
    Outcome r = admin({"init", missing});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("not an existing directory"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dir + "/no"));

    std::ofstream(dir + "/plainfile") << "x";
    r = admin({"init", dir + "/plainfile"});
    EXPECT_EQ(r.status, 2);

    r = admin({"init"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("usage:"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir + "/plainfile") == false);
    EXPECT_FALSE(fs::exists(dir + "/Valmorand"));
    EXPECT_EQ(admin({"frobnicate", dir}).status, 2);
}

TEST_F(AdminTool, AddCompanyRefusesExistingOnesAndBadNumbers) {
    EXPECT_EQ(admin({"add-company", dir, "1", "Before init"}).status, 2);
    EXPECT_FALSE(fs::exists(dataDir + "1"));
    init();

    Outcome r = admin({"add-company", dir, "2", "Fromagerie Côté"});
    ASSERT_EQ(r.status, 0) << r.output;
    {
        Database db(dataDir + "2");
        Cursor cli(db, "cli");
        cli.insert();
        cli.set("Cli_code", "KEEP");
        cli.post();
    }
    r = admin({"add-company", dir, "2", "Other name"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("already exists"), std::string::npos) << r.output;
    {
        Database db(dataDir + "2");
        EXPECT_TRUE(Cursor(db, "cli", true).findKey({Value("KEEP")}));
        Database root(dataDir);
        Cursor comp(root, "comp", true);
        ASSERT_TRUE(comp.findKey({Value(2)}));
        EXPECT_EQ(comp.str("Comp_Name"), "Fromagerie Côté");
    }
    for (const char* bad : {"0", "abc", "-3", "2x", "10000"}) {
        r = admin({"add-company", dir, bad, "X"});
        EXPECT_EQ(r.status, 2) << bad;
    }
    EXPECT_EQ(admin({"add-company", dir, "5", ""}).status, 2);
    // Names are counted in characters and refused, not cut, past the field.
    std::string name;
    for (int i = 0; i < 61; ++i)
        name += "é";
    r = admin({"add-company", dir, "5", name});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("at most 60"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dataDir + "5"));
    name.resize(name.size() - 2);
    EXPECT_EQ(admin({"add-company", dir, "6", name}).status, 0);
}

// The demo's balances are the sums of its ledgers (checked here with plain
// SQL, not with the tool's own check), and the same options give the same
// company.
TEST_F(AdminTool, DemoBalancesEqualLedgersAndIsRepeatable) {
    init();
    Outcome r = admin({"demo", dir, "--clients", "25", "--suppliers", "6", "--invoices", "400"});
    ASSERT_EQ(r.status, 0) << r.output;

    Database db(dataDir + "1");
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM cli"), 25);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM sup"), 6);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car WHERE Car_type = '1'"), 400);
    EXPECT_GT(scalar(db, "SELECT COUNT(*) FROM car WHERE Car_type = '2'"), 0);
    EXPECT_GT(scalar(db, "SELECT COUNT(*) FROM cap WHERE Cap_type = '2'"), 0);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM cli c WHERE c.Cli_current_bal <>"
                         " (SELECT COALESCE(SUM(Car_amount), 0) FROM car WHERE Car_client = c.Cli_code)"),
              0);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM sup s WHERE s.Sup_current_bal <>"
                         " (SELECT COALESCE(SUM(Cap_amount), 0) FROM cap WHERE Cap_supplier = s.Sup_code)"),
              0);
    // Payments never exceed their invoice, so no invoice is overpaid.
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM (SELECT Car_invoice, SUM(Car_amount) AS s FROM car"
                         " GROUP BY Car_client, Car_invoice) WHERE s < 0"),
              0);
    // Every journal entry balances.
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM tjlh WHERE Tjlh_tot_debit <> Tjlh_tot_credit"), 0);
    // The control row points at accounts of the chart.
    Cursor ctrl(db, "ctrl", true);
    ASSERT_TRUE(ctrl.first());
    Cursor glm(db, "glm", true);
    for (const char* f : {"Ctrl_ar_accnt", "Ctrl_ap_accnt", "Ctrl_bank_accnt1", "Ctrl_ar_curr2",
                          "Ctrl_ap_curr2", "Ctrl_ap_disb_accnt2", "Ctrl_cr_accnt1", "Ctrl_ap_purch_accnt1"})
        EXPECT_TRUE(glm.findKey({ctrl.value(f)})) << f;
    EXPECT_EQ(ctrl.str("Ctrl_curr1_name"), "US Dollar");

    r = admin({"check", dir, "1"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Books balance."), std::string::npos);

    // Same options elsewhere: the same ledger.
    std::string other = dir + "/other";
    fs::create_directory(other);
    ASSERT_EQ(admin({"init", other}).status, 0);
    ASSERT_EQ(admin({"demo", other, "--clients", "25", "--suppliers", "6", "--invoices", "400"}).status, 0);
    Database db2(other + "/Valmorand/data1");
    const std::string fingerprint =
        "SELECT COUNT(*) * 1000003 + SUM(Car_amount) + SUM(LENGTH(Car_client || Car_invoice"
        " || Car_ref)) FROM car";
    EXPECT_EQ(scalar(db, fingerprint), scalar(db2, fingerprint));
    EXPECT_EQ(scalar(db, "SELECT SUM(Cap_amount) FROM cap"), scalar(db2, "SELECT SUM(Cap_amount) FROM cap"));
}

TEST_F(AdminTool, DemoRefusesACompanyWithDataAndBadOptions) {
    init();
    ASSERT_EQ(admin({"demo", dir, "--clients", "3", "--suppliers", "2", "--invoices", "10"}).status, 0);
    Database db(dataDir + "1");
    const auto rows = scalar(db, "SELECT COUNT(*) FROM car");

    Outcome r = admin({"demo", dir, "--clients", "3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("already holds"), std::string::npos) << r.output;
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM car"), rows);

    EXPECT_EQ(admin({"demo", dir, "--clients", "many"}).status, 2);
    EXPECT_EQ(admin({"demo", dir, "--clients"}).status, 2);
    EXPECT_EQ(admin({"demo", dir, "--colour", "3"}).status, 2);
    EXPECT_EQ(admin({"demo", dir, "--clients", "0", "--invoices", "5"}).status, 2);
}

TEST_F(AdminTool, DemoOnAnEmptyCompanyKeepsItsListing) {
    init();
    ASSERT_EQ(admin({"add-company", dir, "1", "Ma compagnie"}).status, 0);
    ASSERT_EQ(admin({"demo", dir, "--clients", "2", "--suppliers", "1", "--invoices", "4"}).status, 0);
    Database root(dataDir);
    Cursor comp(root, "comp", true);
    ASSERT_TRUE(comp.findKey({Value(1)}));
    EXPECT_EQ(comp.str("Comp_Name"), "Ma compagnie");
}

// A difference planted in the books is found, named and makes the exit
// status non-zero.
TEST_F(AdminTool, CheckReportsPlantedDifferences) {
    init();
    ASSERT_EQ(admin({"demo", dir, "--clients", "5", "--suppliers", "3", "--invoices", "30"}).status, 0);
    std::string client, reference;
    {
        Database db(dataDir + "1");
        Cursor cli(db, "cli");
        ASSERT_TRUE(cli.first());
        client = cli.str("Cli_code");
        cli.edit();
        cli.set("Cli_current_bal", cli.money("Cli_current_bal") + Money::fromCents(1));
        cli.post();
        Cursor tjld(db, "tjld");
        ASSERT_TRUE(tjld.first());
        reference = tjld.str("Tjld_reference");
        tjld.remove();
    }
    const Outcome r = admin({"check", dir, "1"});
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("Client " + client + ":"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("difference 0.0100"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("reference \"" + reference + "\""), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Books balance."), std::string::npos);

    EXPECT_EQ(admin({"check", dir, "7"}).status, 2);
    EXPECT_EQ(admin({"check", dir}).status, 2);
}

// check reads through copies: the company is left exactly as it was, and an
// empty file is refused rather than turned into an empty database.
TEST_F(AdminTool, CheckOnlyReadsAndRefusesAnEmptyFile) {
    init();
    ASSERT_EQ(admin({"add-company", dir, "2", "Deux"}).status, 0);
    ASSERT_EQ(admin({"add-company", dir, "3", "Trois"}).status, 0);
    const auto listing = [](const std::string& d) {
        std::string out;
        for (const auto& e : fs::directory_iterator(d))
            out += e.path().filename().string() + ":" +
                   std::to_string(fs::last_write_time(e.path()).time_since_epoch().count()) + " ";
        return out;
    };
    const std::string before = listing(dataDir + "2");
    Outcome r = admin({"check", dir, "2"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(listing(dataDir + "2"), before);

    fs::resize_file(dataDir + "3/valmorand.sqlite", 0);
    r = admin({"check", dir, "3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("not a database"), std::string::npos) << r.output;
    EXPECT_EQ(fs::file_size(dataDir + "3/valmorand.sqlite"), 0u);
}

// A company directory that is not in the list (a creation cut short before
// it was listed) is not a company whose books could balance.
TEST_F(AdminTool, CheckRefusesACompanyThatIsNotListed) {
    init();
    ASSERT_EQ(admin({"add-company", dir, "2", "Deux"}).status, 0);
    {
        Database root(dataDir);
        root.execute("DELETE FROM comp WHERE Comp_Code = 2");
    }
    const Outcome r = admin({"check", dir, "2"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("not in the list of companies"), std::string::npos) << r.output;
}

TEST_F(AdminTool, ADataRootGoesToAServerAndBackWithItsBooks) {
    init();
    ASSERT_EQ(admin({"demo", dir, "--clients", "20", "--suppliers", "5", "--invoices", "150"}).status, 0);
    const std::string server = vm::test::PgServer::instance().newDatabase();
    Outcome out = admin({"copy", dir, server});
    ASSERT_EQ(out.status, 0) << out.output;
    EXPECT_NE(out.output.find("Books balance."), std::string::npos) << out.output;
    // A target that holds a data root is never overwritten.
    out = admin({"copy", dir, server});
    EXPECT_EQ(out.status, 2) << out.output;
    EXPECT_NE(out.output.find("not empty"), std::string::npos) << out.output;
    EXPECT_EQ(admin({"init", server}).status, 2);
    // The server's data root takes a company, and is checked where it is.
    out = admin({"add-company", server, "2", "Second"});
    ASSERT_EQ(out.status, 0) << out.output;
    out = admin({"check", server, "1"});
    EXPECT_EQ(out.status, 0) << out.output;
    // Back to a directory: both companies, with the same books.
    const std::string back = dir + "/back";
    fs::create_directories(back);
    out = admin({"copy", server, back});
    ASSERT_EQ(out.status, 0) << out.output;
    EXPECT_NE(out.output.find("2 companies"), std::string::npos) << out.output;
    EXPECT_EQ(admin({"check", back, "1"}).status, 0);
    Database original(schema::companyDirOf(dataDir, 1));
    Database returned(schema::companyDirOf(schema::dataDirOf(back), 1));
    for (const char* t : {"car", "cli", "tjld"}) {
        Query a(original, std::string("SELECT COUNT(*), SUM(rowid) FROM ") + t);
        Query b(returned, std::string("SELECT COUNT(*), SUM(rowid) FROM ") + t);
        ASSERT_TRUE(a.next() && b.next());
        EXPECT_EQ(a.value(0).asInt(), b.value(0).asInt()) << t;
        EXPECT_EQ(a.value(1).asInt(), b.value(1).asInt()) << t;
    }
    // The batch runs take the server too.
    out = admin({"aging", server, "1", "--ledger", "receivables", "--output", dir + "/aging.csv"});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_TRUE(fs::file_size(dir + "/aging.csv") > 0);
    out = admin({"month-end", server, "1", "--cutoff", "2026-01-31"});
    EXPECT_EQ(out.status, 0) << out.output;
    out = admin({"check", server, "1"});
    EXPECT_EQ(out.status, 0) << out.output;
}

// A copy into a directory cut short leaves a database there with nothing
// committed: the next copy goes ahead. A file of anyone else's is kept.
TEST_F(AdminTool, ACopyCutShortIsRedoneAndOtherFilesAreKept) {
    init();
    ASSERT_EQ(admin({"add-company", dir, "1", "First"}).status, 0);
    const std::string cut = dir + "/cut", other = dir + "/other";
    for (const auto& target : {cut, other})
        fs::create_directories(schema::companyDirOf(schema::dataDirOf(target), 1));
    { Database left(schema::companyDirOf(schema::dataDirOf(cut), 1)); }
    std::ofstream(schema::companyDirOf(schema::dataDirOf(other), 1) + "/notes.txt") << "mine";
    Outcome out = admin({"copy", dir, cut});
    EXPECT_EQ(out.status, 0) << out.output;
    out = admin({"copy", dir, other});
    EXPECT_EQ(out.status, 2) << out.output;
    EXPECT_NE(out.output.find("not empty"), std::string::npos) << out.output;
}

// Two add-company runs at once on a server, and a user added to the data root
// while they run: both companies are listed and the user stays; the demo
// after them keeps both.
TEST_F(AdminTool, CompaniesAddedOnAServerKeepEachOtherAndTheDataRoot) {
    const std::string server = vm::test::PgServer::instance().newDatabase();
    ASSERT_EQ(admin({"init", server}).status, 0);
    const std::string data = schema::dataDirOf(server);
    Database root(data);
    Outcome runs[2];
    std::vector<std::thread> threads;
    {
        // Company 2's schema write-locked: the first run waits there, midway.
        Database two(schema::companyDirOf(data, 2));
        Transaction hold(two, true);
        for (int i = 0; i < 2; ++i)
            threads.emplace_back([&runs, &server, i] {
                runs[i] =
                    admin({"add-company", server, std::to_string(2 + i), "Company " + std::to_string(i)});
            });
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (scalar(root, "SELECT COUNT(*) FROM pg_locks WHERE NOT granted") < 1 &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        schema::addUser(root, schema::UserRecord{"LATE", "LATE", "Added meanwhile", 0, 1, 1, "", {}});
    }
    for (auto& t : threads)
        t.join();
    for (const auto& r : runs)
        EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(scalar(root, "SELECT COUNT(*) FROM comp WHERE Comp_Code IN (2, 3)"), 2);
    EXPECT_EQ(scalar(root, "SELECT COUNT(*) FROM \"user\" WHERE User_code = 'LATE'"), 1);
    EXPECT_EQ(admin({"check", server, "3"}).status, 0);
    // The demo, too, is made where it is.
    const Outcome demo = admin({"demo", server});
    EXPECT_EQ(demo.status, 0) << demo.output;
    EXPECT_EQ(admin({"check", server, "1"}).status, 0);
    EXPECT_EQ(scalar(root, "SELECT COUNT(*) FROM comp"), 3);
}
