#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "tests/fixture/PgServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm;
using vm::test::TempLocation;

namespace {

TableDef balanceDef() {
    TableDef d;
    d.name = "cli";
    d.fields = {{"Cli_code", FieldType::Text, 10, true}, {"Cli_current_bal", FieldType::Money}};
    d.primaryKey = {"Cli_code"};
    return d;
}

void addClient(Database& db, const std::string& code, const char* table = "cli") {
    Cursor c(db, table);
    c.insert();
    c.set("Cli_code", code);
    c.set("Cli_current_bal", Money());
    c.post();
}

Money balanceOf(Database& db, const std::string& code, const char* table = "cli") {
    Cursor c(db, table);
    EXPECT_TRUE(c.findKey({code}));
    return c.money("Cli_current_bal");
}

int lockCode(const std::function<void()>& f) {
    try {
        f();
    } catch (const EngineError& e) {
        return e.code();
    }
    return 0;
}

// Adds one cent to a client's balance the way a posting does: under a write
// transaction, locking and re-reading the row; waits out the other's lock.
void postOneCent(Database& db, const std::string& code) {
    for (;;) {
        Transaction tx(db, true);
        Cursor c(db, "cli");
        if (!c.findKey({code})) throw std::runtime_error("client missing");
        try {
            c.edit();
        } catch (const EngineError& e) {
            if (!e.isLock()) throw;
            continue; // rolled back by tx; try again
        }
        c.set("Cli_current_bal", c.money("Cli_current_bal") + Money::fromCents(1));
        c.post();
        tx.commit();
        return;
    }
}

class TxTest : public ::testing::TestWithParam<vm::test::Backend> {
protected:
    void SetUp() override { db.createTable(balanceDef()); }
    TempLocation dir{GetParam()};
    Session session;
    Database& db = session.database(dir.path());
};

} // namespace

// A server is sent a batch's writes unanswered, a bounded number at a time,
// and rows of one insert many to a statement: a read that comes when the
// rows still to send fill the bound exactly is answered all the same.
TEST_P(TxTest, AReadAfterAFullRunOfUnansweredWritesIsAnswered) {
    TableDef other = balanceDef();
    other.name = "cli2";
    db.createTable(other);
    constexpr int kPairs = 100;
    int rows = 0;
    for (int tail = 70; tail >= 40; --tail) { // rows of one table before the read
        Transaction tx(db, true, true);
        for (int k = 0; k < kPairs; ++k) {
            addClient(db, "A" + std::to_string(++rows));
            addClient(db, "B" + std::to_string(rows), "cli2");
        }
        for (int k = 0; k < tail; ++k)
            addClient(db, "A" + std::to_string(++rows));
        EXPECT_EQ(balanceOf(db, "A" + std::to_string(rows)), Money()) << tail;
        tx.commit();
    }
    EXPECT_EQ(Cursor(db, "cli", true).recordCount() + Cursor(db, "cli2", true).recordCount(),
              rows + 31 * kPairs);
}

TEST_P(TxTest, RollbackLeavesNothingAndCommitKeepsAll) {
    addClient(db, "A");
    {
        Transaction tx(db);
        addClient(db, "B");
        Cursor c(db, "cli");
        c.findKey({"A"});
        c.edit();
        c.set("Cli_current_bal", Money::fromUnits(5));
        c.post();
        // no commit: the destructor rolls back
    }
    Cursor c(db, "cli");
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(balanceOf(db, "A"), Money());
    db.startTransaction();
    EXPECT_THROW(db.startTransaction(), EngineError);
    addClient(db, "C");
    db.commit();
    EXPECT_EQ(c.recordCount(), 2);
}

// A batch's writes may go out unanswered on a server: a key violation among
// them is still reported, by the write or at the latest by the commit, and
// nothing of the batch is kept.
// A posting's batch, and a batch of changes to work tables (which takes no
// lock): a write that fails after others were sent is reported all the same.
TEST_P(TxTest, AKeyViolationInABatchIsReportedAndKeepsNothing) {
    TableDef work = balanceDef();
    work.name = "clitmp1";
    work.work = true;
    db.createTable(work);
    for (const char* table : {"cli", "clitmp1"}) {
        const bool shared = table == std::string("cli");
        addClient(db, "A", table);
        int code = 0;
        // Enough rows that a server is sent them many to a statement.
        auto codes = [](char prefix) {
            std::vector<std::string> v;
            for (int k = 100; k < 350; ++k)
                v.push_back(prefix + std::to_string(k));
            return v;
        };
        try {
            Transaction tx(db, shared, true);
            auto batch = codes('K');
            batch[150] = "A";
            for (const auto& c : batch)
                addClient(db, c, table);
            Cursor cli(db, table);
            cli.findKey({"A"});
            cli.edit();
            cli.set("Cli_current_bal", Money::fromUnits(5));
            cli.post();
            tx.commit();
        } catch (const EngineError& e) {
            code = e.code();
        }
        EXPECT_EQ(code, errc::kKeyViolation) << table;
        Cursor c(db, table);
        EXPECT_EQ(c.recordCount(), 1) << table;
        EXPECT_EQ(balanceOf(db, "A", table), Money()) << table;
        Transaction tx(db, shared, true); // the connection works on
        for (const auto& c2 : codes('L'))
            addClient(db, c2, table);
        tx.commit();
        EXPECT_EQ(c.recordCount(), 251) << table;
    }
}

TEST_P(TxTest, LocksConflictBetweenSessionsOfOneProcess) {
    addClient(db, "A");
    addClient(db, "B");
    Session other;
    Database& db2 = other.database(dir.path());
    Cursor mine(db, "cli");
    Cursor theirs(db2, "cli");
    mine.findKey({"A"});
    theirs.findKey({"A"});
    mine.edit();
    EXPECT_EQ(lockCode([&] { theirs.edit(); }), errc::kRecordLocked);
    EXPECT_EQ(lockCode([&] { theirs.remove(); }), errc::kRecordLocked);
    EXPECT_EQ(theirs.state(), Cursor::State::Browse);
    // Another row is free.
    theirs.findKey({"B"});
    theirs.edit();
    theirs.cancel();
    mine.cancel();
    theirs.findKey({"A"});
    EXPECT_EQ(lockCode([&] { theirs.edit(); }), 0);
    theirs.cancel();
    // A post outside a transaction lets its lock go without waiting for the
    // server's answer; another session here still finds it free at once.
    mine.edit();
    mine.post();
    EXPECT_EQ(lockCode([&] { theirs.edit(); }), 0);
    theirs.cancel();
}

TEST_P(TxTest, AnEditInATransactionDoesNotHoldTheDatabase) {
    addClient(db, "A");
    Session other;
    Database& db2 = other.database(dir.path());
    db.startTransaction();
    Cursor mine(db, "cli");
    mine.findKey({"A"});
    mine.edit();         // the user is typing...
    addClient(db2, "B"); // ...while another workstation posts
    Cursor theirs(db2, "cli");
    theirs.findKey({"B"});
    theirs.edit();
    theirs.set("Cli_current_bal", Money::fromUnits(2));
    theirs.post();
    mine.set("Cli_current_bal", Money::fromUnits(1));
    mine.post();
    db.commit();
    EXPECT_EQ(balanceOf(db, "A"), Money::fromUnits(1));
    EXPECT_EQ(balanceOf(db, "B"), Money::fromUnits(2));
}

// A work table is its session's alone: on a server its writes do not wait
// for another's write, but the first write of the same transaction to a
// shared table still does.
TEST_P(TxTest, AWorkTableWaitsOnlyWhereItMustAndKeepsItsKind) {
    TableDef work = balanceDef();
    work.name = "work1";
    work.work = true;
    db.createTable(work);
    Session other;
    Database& db2 = other.database(dir.path());
    Transaction holding(db2, true);
    db.setBusyTimeout(100);
    {
        Transaction tx(db);
        const int workWrite = lockCode([&] {
            Cursor w(db, "work1");
            w.insert();
            w.set("Cli_code", "W");
            w.post();
            w.edit(); // no record lock either
            w.cancel();
        });
        // On a server no wait; on SQLite one file has one lock.
        EXPECT_EQ(workWrite, GetParam() == vm::test::Backend::Postgres ? 0 : errc::kDatabaseBusy);
        EXPECT_EQ(lockCode([&] { addClient(db, "S"); }), errc::kDatabaseBusy);
    }
    EXPECT_TRUE(db.tableDef("work1").work);
    EXPECT_FALSE(db.tableDef("cli").work);
}

TEST_P(TxTest, EditReReadsTheStoredRow) {
    addClient(db, "A");
    Session other;
    Database& db2 = other.database(dir.path());
    Cursor stale(db, "cli");
    stale.findKey({"A"});
    {
        Cursor c(db2, "cli");
        c.findKey({"A"});
        c.edit();
        c.set("Cli_current_bal", Money::fromUnits(10));
        c.post();
    }
    stale.edit(); // must start from 10, not the 0 it had read
    stale.set("Cli_current_bal", stale.money("Cli_current_bal") + Money::fromUnits(1));
    stale.post();
    EXPECT_EQ(balanceOf(db, "A"), Money::fromUnits(11));
    {
        Cursor c(db2, "cli");
        c.findKey({"A"});
        c.remove();
    }
    EXPECT_EQ(lockCode([&] { stale.edit(); }), errc::kRecordNotFound);
    EXPECT_EQ(stale.state(), Cursor::State::Browse);
}

// An edit reads its row again unless nothing can have changed it since it
// was read; each edit below must find what was written meanwhile.
TEST_P(TxTest, AnEditReadsItsRowAgainWheneverItMayHaveChanged) {
    TableDef work = balanceDef();
    work.name = "clitmp1";
    work.work = true;
    db.createTable(work);
    auto setBalance = [](Database& d, const char* table, int units) {
        Cursor c(d, table);
        if (!c.findKey({"A"})) {
            c.insert();
            c.set("Cli_code", "A");
        } else {
            c.edit();
        }
        c.set("Cli_current_bal", Money::fromUnits(units));
        c.post();
    };
    auto editedBalance = [](Cursor& c) {
        c.edit();
        const Money m = c.money("Cli_current_bal");
        c.cancel();
        return m;
    };
    setBalance(db, "cli", 1);
    setBalance(db, "clitmp1", 1);

    // Another process writes a row read outside a transaction.
    Cursor outside(db, "cli");
    outside.findKey({"A"});
    const pid_t pid = fork();
    if (pid == 0) {
        int rc = 1;
        try {
            Session s;
            setBalance(s.database(dir.path()), "cli", 10);
            rc = 0;
        } catch (...) {
        }
        _exit(rc);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(editedBalance(outside), Money::fromUnits(10));

    // Another cursor writes the row under this transaction's write lock;
    // then the transaction is rolled back.
    Cursor shared(db, "cli"), mine(db, "clitmp1");
    {
        Transaction tx(db, true);
        shared.findKey({"A"});
        setBalance(db, "cli", 20);
        EXPECT_EQ(editedBalance(shared), Money::fromUnits(20));
        setBalance(db, "clitmp1", 30);
        mine.findKey({"A"});
    }
    EXPECT_EQ(editedBalance(mine), Money::fromUnits(1));

    // Another session of this process writes the work table and commits
    // after the row was read.
    Session other;
    Database& db2 = other.database(dir.path());
    {
        Transaction tx(db2);
        setBalance(db2, "clitmp1", 40);
        mine.findKey({"A"});
        tx.commit();
    }
    EXPECT_EQ(editedBalance(mine), Money::fromUnits(40));
}

TEST_P(TxTest, AnOpenWalkDoesNotHideOtherSessionsWrites) {
    addClient(db, "A");
    addClient(db, "B");
    Session other;
    Database& db2 = other.database(dir.path());
    Cursor walker(db, "cli");
    ASSERT_TRUE(walker.first()); // a live read, with a row still to come
    {
        Cursor c(db2, "cli");
        c.findKey({"B"});
        c.edit();
        c.set("Cli_current_bal", Money::fromUnits(7));
        c.post();
    }
    Cursor mine(db, "cli");
    ASSERT_TRUE(mine.findKey({"B"}));
    EXPECT_EQ(mine.money("Cli_current_bal"), Money::fromUnits(7));
    mine.edit();
    mine.set("Cli_current_bal", mine.money("Cli_current_bal") + Money::fromUnits(1));
    mine.post();
    EXPECT_EQ(balanceOf(db2, "B"), Money::fromUnits(8));
    // The walk goes on where it was.
    ASSERT_TRUE(walker.next());
    EXPECT_EQ(walker.str("Cli_code"), "B");
    EXPECT_FALSE(walker.next());
}

TEST_P(TxTest, LockHeldByAnotherProcessIsMetAndFreedWhenItDies) {
    addClient(db, "A");
    int toParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(toParent[0]);
        int rc = 1;
        try {
            Session s;
            Database& d = s.database(dir.path());
            Cursor c(d, "cli");
            c.findKey({"A"});
            c.edit();
            char ok = 'L';
            (void)!write(toParent[1], &ok, 1);
            pause(); // hold the lock until killed
        } catch (...) {
        }
        char bad = 'E';
        (void)!write(toParent[1], &bad, 1);
        _exit(rc);
    }
    close(toParent[1]);
    char got = 0;
    ASSERT_EQ(read(toParent[0], &got, 1), 1);
    ASSERT_EQ(got, 'L');
    Cursor c(db, "cli");
    c.findKey({"A"});
    EXPECT_EQ(lockCode([&] { c.edit(); }), errc::kRecordLocked);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // A server lets the lock go as soon as it sees the connection end.
    int code = errc::kRecordLocked;
    for (int i = 0; i < 100 && code == errc::kRecordLocked; ++i)
        if ((code = lockCode([&] { c.edit(); })) != 0) usleep(50000);
    EXPECT_EQ(code, 0);
    c.cancel();
    close(toParent[0]);
}

TEST_P(TxTest, AProcessKilledInATransactionLeavesNothingWritten) {
    addClient(db, "A");
    int toParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(toParent[0]);
        try {
            Session s;
            Database& d = s.database(dir.path());
            d.startTransaction();
            addClient(d, "B");
            Cursor c(d, "cli");
            c.findKey({"A"});
            c.edit();
            c.set("Cli_current_bal", Money::fromUnits(9));
            c.post();
            char ok = 'W';
            (void)!write(toParent[1], &ok, 1);
            pause(); // killed with the transaction open
        } catch (...) {
        }
        char bad = 'E';
        (void)!write(toParent[1], &bad, 1);
        _exit(1);
    }
    close(toParent[1]);
    char got = 0;
    ASSERT_EQ(read(toParent[0], &got, 1), 1);
    ASSERT_EQ(got, 'W');
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(toParent[0]);
    // Nothing of it stays, and the database takes writes again.
    postOneCent(db, "A");
    Cursor c(db, "cli");
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(balanceOf(db, "A"), Money::fromCents(1));
}

TEST_P(TxTest, TwoProcessesPostingToOneClientLoseNothing) {
    addClient(db, "A");
    constexpr int kEach = 150;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int rc = 0;
        try {
            Session s;
            Database& d = s.database(dir.path());
            for (int i = 0; i < kEach; ++i)
                postOneCent(d, "A");
        } catch (...) {
            rc = 1;
        }
        _exit(rc);
    }
    for (int i = 0; i < kEach; ++i)
        postOneCent(db, "A");
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(balanceOf(db, "A"), Money::fromCents(2 * kEach));
}

TEST_P(TxTest, ARowWrittenInATransactionIsEditedElsewhereOnlyOnceCommitted) {
    addClient(db, "A");
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int rc = 1;
        try {
            Session s;
            Database& d = s.database(dir.path());
            Transaction tx(d, true);
            Cursor c(d, "cli");
            c.findKey({"A"});
            c.edit();
            c.set("Cli_current_bal", c.money("Cli_current_bal") + Money::fromCents(1));
            c.post();
            char ok = 'P', go = 0;
            (void)!write(toParent[1], &ok, 1);
            if (read(toChild[0], &go, 1) == 1) {
                tx.commit();
                rc = 0;
            }
        } catch (...) {
        }
        _exit(rc);
    }
    char got = 0;
    ASSERT_EQ(read(toParent[0], &got, 1), 1);
    // The row is posted, its lock let go, but not committed: editing it now
    // would read the balance the other's commit is about to replace.
    db.setBusyTimeout(200);
    Cursor c(db, "cli");
    c.findKey({"A"});
    const int code = lockCode([&] { c.edit(); });
    if (code == 0) c.set("Cli_current_bal", c.money("Cli_current_bal") + Money::fromCents(1));
    char go = 'G';
    (void)!write(toChild[1], &go, 1);
    if (code == 0) c.post(); // waits for the other's commit
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]})
        close(fd);
    EXPECT_EQ(code, errc::kDatabaseBusy);
    if (code != 0) postOneCent(db, "A");
    EXPECT_EQ(balanceOf(db, "A"), Money::fromCents(2));
}

INSTANTIATE_TEST_SUITE_P(Backends, TxTest, VM_BOTH_BACKENDS);

// The program's own tables are installed in a folder its users cannot write:
// they are read there without a log, shared memory or lock file beside them.
TEST(ShippedTables, AFolderTheUserCannotWriteIsReadWithoutWritingBesideIt) {
    TempLocation dir;
    {
        Session s;
        Database& d = s.database(dir.path());
        d.createTable(balanceDef());
        addClient(d, "A");
    }
    std::filesystem::remove(std::filesystem::path(dir.path()) / Database::kLockFileName);
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int rc = 1;
        try {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
            Session s;
            Cursor c(s.database(dir.path()), "cli", /*readOnly=*/true);
            rc = c.findKey({"A"}) ? 0 : 2;
        } catch (...) {
        }
        _exit(rc);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    chmod(dir.path().c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files.push_back(e.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{Database::kFileName});
}
