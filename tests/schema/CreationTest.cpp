// Creating data roots and companies: what they hold, and refusals that must
// leave nothing behind.
#include "engine/EngineError.h"
#include "tests/fixture/PgServer.h"
#include "tests/fixture/TempCompany.h"
#include <algorithm>

#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vm;
using vm::test::TempCompanyTest;

namespace {

std::int64_t count(Database& db, const std::string& sql) {
    Query q(db, sql);
    return q.next() ? q.value(0).asInt() : -1;
}

// A scratch directory for the tests that create data roots by hand.
class ScratchDir {
public:
    ScratchDir() {
        std::string p = (fs::temp_directory_path() / "vmschema.XXXXXX").string();
        if (!mkdtemp(p.data())) throw std::runtime_error("mkdtemp");
        path = p;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string path;
};

// Runs `work(i)` in two child processes released at the same moment; returns
// their exit statuses, sorted. The work returns 0 when it created, 2 when it
// was refused.
std::array<int, 2> race(const std::function<void(int)>& work) {
    int gate[2];
    if (pipe(gate) != 0) throw std::runtime_error("pipe");
    pid_t pids[2];
    for (int i = 0; i < 2; ++i) {
        pids[i] = fork();
        if (pids[i] == 0) {
            close(gate[1]);
            char c;
            [[maybe_unused]] auto n = read(gate[0], &c, 1); // returns when the gate closes
            int rc = 0;
            try {
                work(i);
            } catch (const schema::SchemaError&) {
                rc = 2;
            } catch (...) {
                rc = 1;
            }
            _exit(rc);
        }
    }
    close(gate[0]);
    close(gate[1]);
    std::array<int, 2> out{};
    for (int i = 0; i < 2; ++i) {
        int st = 0;
        waitpid(pids[i], &st, 0);
        out[static_cast<std::size_t>(i)] = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Starts `work` in a child process and kills it after `delay`, wherever it
// has got to.
void killAfter(std::chrono::microseconds delay, const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
        }
        _exit(0);
    }
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Data roots made by hand, in a scratch directory or in a new database of
// the test server (one schema each).
class CreationOn : public ::testing::TestWithParam<test::Backend> {
protected:
    bool onServer() const { return GetParam() == test::Backend::Postgres; }
    std::string dataRoot(const std::string& name) {
        if (!onServer()) return schema::dataDirOf(dir.path + "/" + name);
        if (database.empty()) database = test::PgServer::instance().newDatabase();
        return database + "#" + name + "_data";
    }

    ScratchDir dir;
    std::string database;
};

} // namespace

class CreationRace : public CreationOn {};
class CreationCrash : public CreationOn {};
INSTANTIATE_TEST_SUITE_P(Backends, CreationRace, VM_BOTH_BACKENDS);
INSTANTIATE_TEST_SUITE_P(Backends, CreationCrash, VM_BOTH_BACKENDS);

// Two processes creating the same data root or company at once: exactly one
// creates it, the other is refused, and what the winner made is whole.
TEST_P(CreationRace, OneCreatesTheOtherIsRefusedAndNothingIsLost) {
    // The server's lock does not depend on timing as files do: fewer rounds.
    const int rounds = onServer() ? 6 : 25;
    for (int round = 0; round < rounds; ++round) {
        const std::string dataDir = dataRoot("r" + std::to_string(round));
        ASSERT_EQ(race([&](int) { schema::createDataRoot(dataDir, schema::standardUsers()); }),
                  (std::array<int, 2>{0, 2}))
            << "init, round " << round;
        ASSERT_TRUE(schema::isDataRoot(dataDir));
        Database root(dataDir);
        EXPECT_EQ(count(root, "SELECT COUNT(*) FROM \"user\""), 2);
    }
    const std::string dataDir = dataRoot("r0");
    for (int n = 1; n <= rounds; ++n) {
        ASSERT_EQ(race([&](int i) { schema::createCompany(dataDir, n, "Racer " + std::to_string(i)); }),
                  (std::array<int, 2>{0, 2}))
            << "company " << n;
        Database root(dataDir);
        EXPECT_EQ(count(root, "SELECT COUNT(*) FROM comp WHERE Comp_Code = " + std::to_string(n)), 1);
        Database db(schema::companyDirOf(dataDir, n));
        EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ctrl"), 1);
        EXPECT_EQ(count(db, "SELECT COUNT(*) FROM periods"), 13);
    }
}

// A creation killed at any moment (or that left its unfinished work behind)
// blocks nothing: the data root or company is whole, or creating it again
// succeeds.
TEST_P(CreationCrash, AKilledCreationCanBeRetried) {
    // A server's creation takes longer: the kills are spread over it.
    const int rounds = onServer() ? 10 : 16, step = onServer() ? 40000 : 6000;
    for (int round = 0; round < rounds; ++round) {
        const std::string dataDir = dataRoot("k" + std::to_string(round));
        const std::chrono::microseconds delay(round * step);
        killAfter(delay, [&] { schema::createDataRoot(dataDir, schema::standardUsers()); });
        if (!schema::isDataRoot(dataDir)) schema::createDataRoot(dataDir, schema::standardUsers());
        killAfter(delay * 2, [&] { schema::createCompany(dataDir, 1, "Killed"); });
        {
            Database root(dataDir);
            EXPECT_EQ(count(root, "SELECT COUNT(*) FROM \"user\""), 2) << round;
            if (!schema::companyListed(root, 1)) schema::createCompany(dataDir, 1, "Retried");
        }
        Database db(schema::companyDirOf(dataDir, 1));
        EXPECT_EQ(count(db, "SELECT COUNT(*) FROM periods"), 13) << round;
    }
    if (onServer()) {
        // A company schema left unlisted by a creation cut short is rebuilt;
        // one holding someone else's tables is kept.
        const std::string dataDir = dataRoot("planted");
        schema::createDataRoot(dataDir);
        for (const char* t : {"vm_unfinished", "ctrl", "other"}) {
            Database db(schema::companyDirOf(dataDir, std::string(t) == "other" ? 3 : 2));
            db.createTable(TableDef{t, {{"F", FieldType::Text, 1, false}}, {}, {}});
        }
        schema::createCompany(dataDir, 2, "Two");
        EXPECT_THROW(schema::createCompany(dataDir, 3, "Three"), schema::SchemaError);
        Database two(schema::companyDirOf(dataDir, 2)), three(schema::companyDirOf(dataDir, 3));
        EXPECT_EQ(count(two, "SELECT COUNT(*) FROM ctrl"), 1);
        EXPECT_FALSE(two.tableExists("vm_unfinished"));
        EXPECT_EQ(three.tableNames(), std::vector<std::string>{"other"});
        return;
    }
    // Work left half-made in both places, as a kill leaves it.
    const std::string dataDir = dataRoot("planted");
    for (const std::string& d : {dataDir, schema::companyDirOf(dataDir, 2)}) {
        fs::create_directories(d + "/.unfinished");
        std::ofstream(d + "/.unfinished/valmorand.sqlite") << "half";
    }
    std::ofstream(schema::companyDirOf(dataDir, 2) + "/valmorand.sqlite") << "moved, not listed";
    schema::createDataRoot(dataDir);
    schema::createCompany(dataDir, 2, "Two");
    EXPECT_FALSE(fs::exists(dataDir + "/.unfinished"));
    EXPECT_FALSE(fs::exists(schema::companyDirOf(dataDir, 2) + "/.unfinished"));
}

TEST_F(TempCompanyTest, DataRootHoldsSessionsLanguagesAndUsers) {
    Database& root = company.dataRoot();
    EXPECT_EQ(count(root, "SELECT COUNT(*) FROM session"), 16);
    EXPECT_EQ(count(root, "SELECT MIN(Session_id) FROM session"), 0);
    EXPECT_EQ(count(root, "SELECT MAX(Session_id) FROM session"), 15);
    Cursor virmem(root, "virmem", true);
    ASSERT_TRUE(virmem.findKey({Value(0)}));
    EXPECT_EQ(virmem.money("Curr_24"), Money());
    ASSERT_TRUE(virmem.findKey({Value(15)}));
    EXPECT_FALSE(virmem.findKey({Value(16)}));

    Cursor lang(root, "languages", true);
    ASSERT_TRUE(lang.findKey({Value(2)}));
    EXPECT_EQ(lang.str("LangCode"), "fr");
    EXPECT_EQ(lang.str("LangName"), "Français");

    Cursor users(root, "user", true);
    ASSERT_TRUE(users.findKey({Value("ADMIN")}));
    EXPECT_EQ(users.str("User_name"), "Administrator");
    EXPECT_EQ(users.integer("User_company"), 1);
    const auto admin = schema::UserRights::fromBytes(users.value("User_security").asBytes());
    EXPECT_TRUE(admin.allows(schema::UserRights::SystemManager, schema::UserRights::Edit, 2));
    ASSERT_TRUE(users.findKey({Value("CLERK")}));
    const auto clerk = schema::UserRights::fromBytes(users.value("User_security").asBytes());
    EXPECT_TRUE(clerk.allowsBit(105 + 15)); // receivables, Transactions, first option
    EXPECT_FALSE(clerk.allowsBit(105));     // maintenance of clients
    EXPECT_FALSE(clerk.allowsBit(2 * 105 + 15));
}

TEST_F(TempCompanyTest, NewCompanyHasItsControlRowPeriodsAndListing) {
    Database& db = company.db();
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ctrl"), 1);
    Cursor ctrl(db, "ctrl", true);
    ASSERT_TRUE(ctrl.first());
    EXPECT_EQ(ctrl.integer("Ctrl_periods"), 12);
    EXPECT_EQ(ctrl.integer("Ctrl_ar_period"), 1);
    EXPECT_EQ(ctrl.integer("Ctrl_ar_days4"), 120);
    EXPECT_EQ(ctrl.str("Ctrl_ar_dname1"), "Current");
    EXPECT_EQ(ctrl.str("Ctrl_dollars1"), "Dollars");
    EXPECT_EQ(ctrl.str("Ctrl_cents1"), "Cents");
    // Empty text is stored as "", numbers as 0: readers compare without
    // guarding against blanks.
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ctrl WHERE Ctrl_alt_key1 IS NULL OR Ctrl_curr4_name IS NULL"),
              0);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ctrl WHERE Ctrl_ap_curr5 IS NULL OR Ctrl_IncludeAp IS NULL"),
              0);

    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM periods"), 13);
    Cursor periods(db, "Periods", true);
    ASSERT_TRUE(periods.findKey({Value(11)}));
    EXPECT_EQ(periods.str("Period_mth"), "November");

    Cursor comp(company.dataRoot(), "comp", true);
    ASSERT_TRUE(comp.findKey({Value(1)}));
    EXPECT_EQ(comp.str("Comp_Name"), "Test Company");
}

TEST_F(TempCompanyTest, CompanyNumbersAreAppendedWithoutPadding) {
    schema::createCompany(company.dataDir(), 12, "Douze");
    EXPECT_TRUE(fs::is_directory(company.dataDir() + "12"));
    EXPECT_EQ(count(company.dataRoot(), "SELECT COUNT(*) FROM comp"), 2);
}

TEST_F(TempCompanyTest, RefusedCompaniesLeaveNothing) {
    const auto listed = [&] { return count(company.dataRoot(), "SELECT COUNT(*) FROM comp"); };
    company.addClient("C1", "Existing client");

    EXPECT_THROW(schema::createCompany(company.dataDir(), 1, "Again"), schema::SchemaError);
    EXPECT_EQ(count(company.db(), "SELECT COUNT(*) FROM cli"), 1); // the existing company is untouched

    for (int bad : {0, -1, schema::kMaxCompany + 1})
        EXPECT_THROW(schema::createCompany(company.dataDir(), bad, "Bad"), schema::SchemaError) << bad;
    EXPECT_THROW(schema::createCompany(company.dataDir(), 2, "  "), schema::SchemaError);
    EXPECT_FALSE(fs::exists(company.dataDir() + "2"));

    // A directory that is in the way is neither used nor removed.
    fs::create_directory(company.dataDir() + "3");
    std::ofstream(company.dataDir() + "3/notes.txt") << "keep me";
    EXPECT_THROW(schema::createCompany(company.dataDir(), 3, "Three"), schema::SchemaError);
    EXPECT_TRUE(fs::exists(company.dataDir() + "3/notes.txt"));
    EXPECT_EQ(listed(), 1);

    // An empty one is fine.
    fs::create_directory(company.dataDir() + "4");
    schema::createCompany(company.dataDir(), 4, "Four");
    EXPECT_EQ(listed(), 2);
}

TEST(DataRootCreation, RefusesWhatIsNotAFreshDirectory) {
    ScratchDir dir;
    const std::string dataDir = schema::dataDirOf(dir.path);
    EXPECT_EQ(dataDir, dir.path + "/Valmorand/data");
    EXPECT_EQ(schema::dataDirOf(dir.path + "/"), dataDir);
    EXPECT_FALSE(schema::isDataRoot(dataDir));

    // A file where the directory should be.
    fs::create_directories(dir.path + "/Valmorand");
    std::ofstream(dataDir) << "x";
    EXPECT_THROW(schema::createDataRoot(dataDir), schema::SchemaError);
    fs::remove(dataDir);

    schema::createDataRoot(dataDir);
    EXPECT_TRUE(schema::isDataRoot(dataDir));
    EXPECT_THROW(schema::createDataRoot(dataDir), schema::SchemaError);
    EXPECT_TRUE(schema::isDataRoot(dataDir));

    EXPECT_THROW(schema::createCompany(dir.path, 1, "Not a root"), schema::SchemaError);
    EXPECT_FALSE(fs::exists(dir.path + "1"));
}

TEST(DataRootCreation, FailureRemovesWhatItMade) {
    ScratchDir dir;
    const std::string dataDir = schema::dataDirOf(dir.path);
    // Two users with one password: the second insert fails after the tables
    // were made, and the whole root must go.
    schema::UserRecord a{"SAME", "A", "First", 0, 1, 1, "", schema::UserRights()};
    schema::UserRecord b{"same", "B", "Second", 0, 1, 1, "", schema::UserRights()};
    EXPECT_THROW(schema::createDataRoot(dataDir, {a, b}), EngineError);
    EXPECT_FALSE(fs::exists(dir.path + "/Valmorand"));
}

// The login upper-cases what is typed, so a password stored in lower case
// could never be matched.
TEST_F(TempCompanyTest, PasswordsAreStoredAsTheLoginLooksThemUp) {
    schema::addUser(company.dataRoot(),
                    {"manon", "MANON", "Manon Giroux", 0, 2, 1, "", schema::UserRights()});
    Cursor users(company.dataRoot(), "user", true);
    EXPECT_TRUE(users.findKey({Value("MANON")}));
    EXPECT_FALSE(users.findKey({Value("manon")}));
    EXPECT_THROW(schema::addUser(company.dataRoot(), {"Manon", "X", "Other", 0, 1, 1, "", {}}), EngineError);
    EXPECT_THROW(schema::addUser(company.dataRoot(), {"", "X", "No password", 0, 1, 1, "", {}}),
                 schema::SchemaError);
    // A company directory is not a data root.
    EXPECT_FALSE(schema::isDataRoot(company.companyDir()));
}
