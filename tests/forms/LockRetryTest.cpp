#include "FormsTestSupport.h"

#include "common/forms/AbortAction.h"
#include "common/forms/LockRetry.h"
#include "common/forms/LockWaitBox.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace vm;
using namespace vm::forms;

namespace {

// Another workstation: a child process with its own engine session that
// locks client "C1" by editing it, says so through a pipe, and lets it go
// after `holdMs`.
class LockingProcess {
public:
    LockingProcess(const std::string& dir, int holdMs) {
        int fds[2];
        if (::pipe(fds) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            int status = 1;
            try {
                Session session;
                Cursor c(session.database(dir), "cli");
                c.findKey({Value("C1")});
                c.edit();
                char ok = 'L';
                if (::write(fds[1], &ok, 1) == 1) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
                    c.cancel();
                    status = 0;
                }
            } catch (...) {
            }
            ::_exit(status); // no Qt or test-framework clean-up in the child
        }
        ::close(fds[1]);
        char got = 0;
        locked_ = ::read(fds[0], &got, 1) == 1 && got == 'L';
        ::close(fds[0]);
    }
    ~LockingProcess() { finish(); }
    bool locked() const { return locked_; }
    int finish() {
        if (pid_ <= 0) return status_;
        int st = 0;
        ::waitpid(pid_, &st, 0);
        pid_ = 0;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        return status_;
    }

private:
    pid_t pid_ = 0;
    bool locked_ = false;
    int status_ = -1;
};

class LockRetryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableDef def;
        def.name = "cli";
        def.fields = {{"Cli_code", FieldType::Text, 10, true}, {"Cli_name", FieldType::Text, 40, false}};
        def.primaryKey = {"Cli_code"};
        Database& db = Session::instance().database(dir.path());
        db.createTable(def);
        Cursor c(db, "cli");
        c.insert();
        c.set("Cli_code", "C1");
        c.set("Cli_name", "before");
        c.post();
    }

    Database& db() { return Session::instance().database(dir.path()); }

    test::TempDir dir;
    QObject watchers;
};

} // namespace

TEST_F(LockRetryTest, WaitsOutALockHeldByAnotherProcessThenSucceeds) {
    LockingProcess other(dir.path(), 500);
    ASSERT_TRUE(other.locked());

    Cursor c(db(), "cli");
    ASSERT_TRUE(c.findKey({Value("C1")}));
    TErrorForm errorForm;
    LockRetry retry(&errorForm);
    retry.setPause(50);

    // The user interface keeps turning while the lock is awaited.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    QElapsedTimer clock;
    clock.start();
    const int locks = retry.run([&] {
        c.edit();
        c.set("Cli_name", "after");
        c.post();
    });
    EXPECT_GT(locks, 0);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(errorForm.retryState(), TErrorForm::kNoLock);
    EXPECT_EQ(other.finish(), 0);

    Cursor check(db(), "cli");
    ASSERT_TRUE(check.findKey({Value("C1")}));
    EXPECT_EQ(check.str("Cli_name"), "after");
}

TEST_F(LockRetryTest, TheUserCanGiveUpWaiting) {
    LockingProcess other(dir.path(), 3000);
    ASSERT_TRUE(other.locked());
    Cursor c(db(), "cli");
    ASSERT_TRUE(c.findKey({Value("C1")}));
    LockRetry retry(nullptr);
    retry.setPause(30);
    retry.setWaitBoxDelay(150);

    QString waitText;
    test::whenModal<TLockWaitBox>(
        [&](TLockWaitBox* box) {
            waitText = box->findChild<QLabel*>("LabelWait")->text();
            QTest::mouseClick(box->findChild<QPushButton*>("BtnCancel"), Qt::LeftButton);
        },
        5000, &watchers);
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(retry.run([&] { c.edit(); }), AbortAction);
    EXPECT_LT(clock.elapsed(), 2500); // long before the other process lets go
    EXPECT_EQ(waitText, QString::fromUtf8("Waiting for a record locked by another workstation…"));
    EXPECT_EQ(c.state(), Cursor::State::Browse);
}

TEST_F(LockRetryTest, OtherFailuresAreShownAndAbortTheAction) {
    TErrorForm errorForm;
    LockRetry retry(&errorForm);
    QString category, code, message;
    auto watch = [&] {
        test::whenModal<TErrorForm>(
            [&](TErrorForm* f) {
                category = f->category();
                code = f->code();
                message = f->message();
                f->accept();
            },
            10000, &watchers);
    };

    watch();
    EXPECT_THROW(retry.run([] { throw EngineError(errc::kKeyViolation, "Key violation"); }), AbortAction);
    EXPECT_EQ(category, "38");
    EXPECT_EQ(code, "1");
    EXPECT_EQ(message, "Key violation");

    watch();
    EXPECT_THROW(retry.run([] { throw std::runtime_error("disk full"); }), AbortAction);
    EXPECT_EQ(category, "xxxxx");
    EXPECT_EQ(code, "xxxxx");
    EXPECT_EQ(message, "disk full");

    // A transaction that commits at once runs once, without any wait.
    int runs = 0;
    EXPECT_EQ(retry.run([&] {
        ++runs;
        Transaction tx(db());
        tx.commit();
    }),
              0);
    EXPECT_EQ(runs, 1);
}
