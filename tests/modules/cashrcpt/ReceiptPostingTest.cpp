#include "modules/cashrcpt/core/ReceiptPosting.h"

#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ReceiptChecks.h"
#include "modules/cashrcpt/core/ReceiptDocument.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "tests/modules/cashrcpt/ReceiptCompany.h"
#include "tools/BooksCheck.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace vm;
using namespace vm::cashrcpt;
using namespace vm::test;

namespace {

const Date kInv = Date::fromYmd(2026, 3, 1);
const Date kPaid = Date::fromYmd(2026, 4, 10);
constexpr int kPeriod = 4;

class ReceiptPostingTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        co.client("C1", "Client One", 0, 1000, true);
        co.client("C2", "Client Two");
        co.client("U1", "US Client", 1);
        co.ledger("C1", "A1", "1", units(500), kInv, "", "S1");
        co.ledger("C1", "A2", "1", units(300), kInv.addDays(3));
        co.ledger("C1", "A2", "2", units(-100), kInv.addDays(9), "OLD");
        co.ledger("C1", "A3", "1", units(400), kInv.addDays(4));
        entry.createWorkTables(*co.root);
        posting.setUser("Jane Clerk");
    }

    // A client receipt typed through the entry: payments per invoice, then
    // any change to the preset lines.
    void startClient(const std::string& code, const std::string& reference = "CHQ1") {
        entry.startClient(*entry.findClient(code), reference);
    }
    void pay(const std::string& invoice, Money amount) {
        for (const auto& r : entry.invoices())
            if (r.invoice == invoice) return entry.setPayment(r.rowId, amount);
        FAIL() << "no invoice " << invoice;
    }
    std::int64_t lineRow(std::int32_t account) {
        for (const auto& r : entry.lines())
            if (r.line.accountOrZero() == account) return r.rowId;
        ADD_FAILURE() << "no line " << account;
        return 0;
    }
    ReceiptDocument doc(const std::string& reference = "CHQ1", const std::string& memo = "",
                        bool nsf = false) {
        return entry.document(kPaid, reference, memo, nsf);
    }
    PostingResult post(const ReceiptDocument& d) {
        EXPECT_TRUE(ReceiptChecks::check(co.db(), co.accounts, d).ok());
        auto r = posting.post(d, kPeriod, {});
        EXPECT_TRUE(r.has_value());
        entry.clear();
        return r.value_or(PostingResult{});
    }
    Money balance(const std::string& code) {
        Cursor cli(co.db(), "cli", true);
        cli.findKey({Value(code)});
        return cli.money("Cli_current_bal");
    }
    // The client's ledger rows written by receipt `ref`, in index order.
    std::vector<std::tuple<std::string, std::string, Money>> rowsOf(const std::string& client,
                                                                    const std::string& ref) {
        std::vector<std::tuple<std::string, std::string, Money>> out;
        Cursor car(co.db(), "car", true);
        car.setIndex("Car_client");
        car.setRange({Value(client)});
        for (bool more = car.first(); more; more = car.next())
            if (car.str("Car_ref") == ref)
                out.emplace_back(car.str("Car_invoice"), car.str("Car_type"), car.money("Car_amount"));
        return out;
    }
    void expectBooksBalance() {
        const auto differences = admin::checkBooks(co.db());
        EXPECT_TRUE(differences.empty()) << differences.front();
    }

    ReceiptCompany co{GetParam()};
    ReceiptEntry entry{co.db(), co.accounts, 3};
    ReceiptPosting posting{co.db(), co.accounts};
};

using Row = std::tuple<std::string, std::string, Money>;

TEST_P(ReceiptPostingTest, PayingInvoicesWritesTheLedgerTheStoredReceiptAndTheJournal) {
    startClient("C1");
    pay("A1", units(500));
    pay("A2", units(100));
    const ReceiptDocument d = doc("CHQ1", "March invoices");
    ASSERT_EQ(d.lines.size(), 3u); // receivables, bank, discounts (no amounts)
    const PostingResult r = post(d);
    EXPECT_EQ(r.journal, 2);
    EXPECT_EQ(r.balanceChange, units(-600));

    EXPECT_EQ(rowsOf("C1", "CHQ1"), (std::vector<Row>{{"A1", "2", units(-500)}, {"A2", "2", units(-100)}}));
    {
        Cursor car(co.db(), "car", true);
        car.setIndex("Car_client");
        car.setRange({Value("C1"), Value("A1"), Value("CHQ1")});
        ASSERT_TRUE(car.first());
        EXPECT_EQ(car.date("Car_date"), kPaid);
        EXPECT_EQ(car.date("Car_du_date"), kPaid);
        EXPECT_EQ(car.str("Car_slsm"), "S1");
        EXPECT_EQ(car.str("Car_memo"), "March invoices");
        EXPECT_EQ(car.str("Car_user"), "Jane Clerk");
    }

    Cursor hdr(co.db(), "crorihdr", true);
    ASSERT_EQ(hdr.recordCount(), 1);
    hdr.first();
    EXPECT_EQ(hdr.integer("Seq"), r.headerSeq);
    EXPECT_EQ(hdr.str("Client"), "C1");
    EXPECT_FALSE(hdr.boolean("Not_from_cli"));
    EXPECT_EQ(hdr.integer("Account1"), kReceivables);
    EXPECT_EQ(hdr.money("Credit1"), units(600));
    EXPECT_EQ(hdr.integer("Account2"), kBank);
    EXPECT_EQ(hdr.money("Debit2"), units(600));
    // A line with an account and no amount fills its slot but not the journal.
    EXPECT_EQ(hdr.integer("Account3"), kDiscounts);
    EXPECT_EQ(hdr.integer("Account4"), 0);
    EXPECT_EQ(hdr.money("Debit20"), Money());

    Cursor det(co.db(), "croridet", true);
    ASSERT_EQ(det.recordCount(), 2);
    det.first();
    EXPECT_EQ(det.str("Invoice"), "A1");
    EXPECT_EQ(det.integer("Header_seq"), r.headerSeq);
    EXPECT_EQ(det.money("Invoice_amount"), units(500));
    EXPECT_EQ(det.money("Invoice_payment"), units(500));
    det.next();
    EXPECT_EQ(det.str("Invoice"), "A2");
    EXPECT_EQ(det.money("Invoice_amount"), units(200)); // open amount before the payment
    EXPECT_EQ(det.date("Invoice_date"), kInv.addDays(3));

    Cursor tjlh(co.db(), "tjlh", true);
    ASSERT_EQ(tjlh.recordCount(), 1);
    tjlh.first();
    EXPECT_EQ(tjlh.integer("Tjlh_period"), kPeriod);
    EXPECT_EQ(tjlh.money("Tjlh_tot_debit"), units(600));
    EXPECT_EQ(tjlh.money("Tjlh_tot_credit"), units(600));
    EXPECT_EQ(tjlh.str("Tjlh_memo"), "Client One\rMarch invoices");
    EXPECT_EQ(co.count("tjld"), 2);

    Cursor concil(co.db(), "concil", true);
    ASSERT_EQ(concil.recordCount(), 1);
    concil.first();
    EXPECT_EQ(concil.integer("Concil_account"), kBank);
    EXPECT_EQ(concil.money("Concil_montant"), units(600));
    EXPECT_EQ(concil.str("Concil_nom"), "Client One");
    EXPECT_EQ(concil.str("Concil_fou_cli_emp"), "C1");

    Cursor cli(co.db(), "cli", true);
    cli.findKey({Value("C1")});
    EXPECT_EQ(cli.money("Cli_current_bal"), units(1100 - 600));
    EXPECT_EQ(cli.date("Cli_date_last_pmt"), kPaid);
    EXPECT_FALSE(cli.boolean("Cli_credit_hold")); // 500 is below the limit of 1000
    EXPECT_TRUE(cli.date("Cli_nsf_date").isNull());
    expectBooksBalance();
}

TEST_P(ReceiptPostingTest, ReceivablesBeyondTheInvoicePaymentsGoOnAccount) {
    // Paid 100 on A1 but 150 received: 50 on account (type "5").
    startClient("C1");
    pay("A1", units(100));
    entry.setLineCredit(lineRow(kReceivables), units(150));
    entry.setLineDebit(lineRow(kBank), units(150));
    post(doc("P1"));
    EXPECT_EQ(rowsOf("C1", "P1"), (std::vector<Row>{{"A1", "2", units(-100)}, {"P1", "5", units(-50)}}));
    EXPECT_EQ(co.count("croridet"), 1);

    // Nothing applied: only the type "5" row.
    startClient("C1");
    entry.setLineCredit(lineRow(kReceivables), units(75));
    entry.setLineDebit(lineRow(kBank), units(75));
    post(doc("P2"));
    EXPECT_EQ(rowsOf("C1", "P2"), (std::vector<Row>{{"P2", "5", units(-75)}}));

    // A returned cheque debits the receivables account: type "4", the
    // balance rises, and the NSF box does not date the client's NSF cheque.
    startClient("C1");
    entry.setLineDebit(lineRow(kReceivables), units(80));
    entry.setLineCredit(lineRow(kBank), units(80));
    const PostingResult nsf = post(doc("NSF1", "", true));
    EXPECT_EQ(rowsOf("C1", "NSF1"), (std::vector<Row>{{"NSF1", "4", units(80)}}));
    EXPECT_FALSE(nsf.nsfDateSet);

    // A negative payment reverses an earlier one: a positive type "2" row and
    // no stored invoice payment.
    startClient("C1");
    pay("A2", units(-40));
    post(doc("REV1"));
    EXPECT_EQ(rowsOf("C1", "REV1"), (std::vector<Row>{{"A2", "2", units(40)}}));
    EXPECT_EQ(co.count("croridet"), 1);

    EXPECT_EQ(balance("C1"), units(1100 - 150 - 75 + 80 + 40));
    expectBooksBalance();
}

// Both sides of the receivables account in one receipt: the ledger rows and
// the balance both move by what the distribution moves, and stay equal.
TEST_P(ReceiptPostingTest, ReceivablesDebitAndCreditTogetherKeepBalanceEqualToTheLedger) {
    startClient("C1");
    pay("A1", units(100)); // receivables credit 100, bank debit 100
    const auto extra = entry.addLine();
    entry.setLineAccount(*extra, kReceivables);
    entry.setLineDebit(*extra, units(30));
    entry.setLineDebit(lineRow(kBank), units(70));
    const PostingResult r = post(doc("MIX"));
    EXPECT_EQ(rowsOf("C1", "MIX"), (std::vector<Row>{{"A1", "2", units(-100)}, {"MIX", "4", units(30)}}));
    EXPECT_EQ(r.balanceChange, units(-70));

    // Payments reversed with a larger receivables debit typed over them.
    startClient("C1");
    pay("A3", units(-100)); // receivables debit 100, bank credit 100
    entry.setLineDebit(lineRow(kReceivables), units(60));
    entry.setLineCredit(lineRow(kBank), units(60));
    post(doc("MIX2"));
    EXPECT_EQ(rowsOf("C1", "MIX2"), (std::vector<Row>{{"A3", "2", units(100)}, {"MIX2", "5", units(-40)}}));
    EXPECT_EQ(balance("C1"), units(1100 - 70 + 60));
    expectBooksBalance();
}

TEST_P(ReceiptPostingTest, NsfDateIsSetWhenTheReceivablesAccountIsNotDebited) {
    startClient("C1");
    pay("A1", units(10));
    const PostingResult r = post(doc("N2", "", true));
    EXPECT_TRUE(r.nsfDateSet);
    Cursor cli(co.db(), "cli", true);
    cli.findKey({Value("C1")});
    EXPECT_EQ(cli.date("Cli_nsf_date"), kPaid);
    Cursor hdr(co.db(), "crorihdr", true);
    hdr.first();
    EXPECT_TRUE(hdr.boolean("Nsf_cheque"));
}

// The preset home bank line, left at zero, used to decide the journal of a
// deposit made in the US-dollar bank (journal 2 instead of 22).
TEST_P(ReceiptPostingTest, ADepositInTheUsBankGoesToTheUsJournalPastAPresetBankLineAtZero) {
    ReceiptDocument deposit;
    deposit.notFromClient = true;
    deposit.date = kPaid;
    deposit.reference = "DEPUS";
    deposit.memo = "US deposit";
    deposit.lines = {{kReceivables, "", {}, {}},
                     {kBank, "", {}, {}},
                     {kBankUs, "", units(40), {}},
                     {kOtherIncome, "", {}, units(40)}};
    EXPECT_EQ(posting.postOnce(deposit, kPeriod).journal, 22);
}

TEST_P(ReceiptPostingTest, JournalHeadersAreSharedByPeriodJournalReferenceAndDate) {
    startClient("C1", "DEP");
    pay("A1", units(200));
    post(doc("DEP"));
    co.ledger("C2", "B1", "1", units(90), kInv);
    startClient("C2", "DEP");
    pay("B1", units(90));
    post(doc("DEP"));

    Cursor tjlh(co.db(), "tjlh", true);
    ASSERT_EQ(tjlh.recordCount(), 1);
    tjlh.first();
    EXPECT_EQ(tjlh.money("Tjlh_tot_debit"), units(290));
    EXPECT_EQ(tjlh.money("Tjlh_tot_credit"), units(290));
    EXPECT_EQ(tjlh.str("Tjlh_memo"), "Client One"); // the first receipt's header, no memo
    EXPECT_EQ(co.count("tjld"), 4);
    EXPECT_EQ(co.count("crorihdr"), 2);

    // Another date is another header.
    startClient("C1", "DEP");
    pay("A3", units(1));
    posting.post(entry.document(kPaid.addDays(1), "DEP", "", false), kPeriod, {});
    EXPECT_EQ(co.count("tjlh"), 2);
    expectBooksBalance();
}

TEST_P(ReceiptPostingTest, JournalNumberFollowsTheCurrency) {
    co.ledger("U1", "U100", "1", units(1000), kInv);
    startClient("U1");
    pay("U100", units(250));
    EXPECT_EQ(post(doc("US1")).journal, 22);
    Cursor concil(co.db(), "concil", true);
    concil.first();
    EXPECT_EQ(concil.integer("Concil_account"), kBankUs);

    // Not from a client: the chart currency of the first bank line decides,
    // journal 2 without one; no ledger row, no balance.
    ReceiptDocument sundry;
    sundry.notFromClient = true;
    sundry.date = kPaid;
    sundry.reference = "S1";
    sundry.memo = "Interest";
    sundry.lines = {{kDiscounts, "", units(12), {}}, {kOtherIncome, "", {}, units(12)}};
    EXPECT_EQ(posting.postOnce(sundry, kPeriod).journal, 2);
    sundry.reference = "S2";
    sundry.lines = {{kBankUs, "", units(12), {}}, {kOtherIncome, "", {}, units(12)}};
    const PostingResult us = posting.postOnce(sundry, kPeriod);
    EXPECT_EQ(us.journal, 22);
    EXPECT_EQ(us.balanceChange, Money());

    Cursor c(co.db(), "concil", true);
    c.setFilter([](const Cursor& row) { return row.str("Concil_reference") == "S2"; });
    ASSERT_TRUE(c.first());
    EXPECT_EQ(c.str("Concil_nom"), "Interest");
    EXPECT_EQ(c.str("Concil_fou_cli_emp"), "");
    Cursor hdr(co.db(), "crorihdr", true);
    hdr.last();
    EXPECT_TRUE(hdr.boolean("Not_from_cli"));
    EXPECT_EQ(hdr.str("Client"), "");
    EXPECT_EQ(co.count("car"), 6); // the fixture's four, the US invoice and its payment
    expectBooksBalance();
}

struct Counts {
    std::int64_t car, hdr, det, tjlh, tjld, concil;
    Money balance;
    bool operator==(const Counts&) const = default;
};

TEST_P(ReceiptPostingTest, AFailureAnywhereInThePostingLeavesNoRowOfIt) {
    auto counts = [&] {
        return Counts{co.count("car"),  co.count("crorihdr"), co.count("croridet"), co.count("tjlh"),
                      co.count("tjld"), co.count("concil"),   balance("C1")};
    };
    startClient("C1");
    pay("A1", units(500));
    const ReceiptDocument d = doc("FAIL");
    const Counts before = counts();

    for (auto stage : {ReceiptPosting::Stage::Header, ReceiptPosting::Stage::Journal,
                       ReceiptPosting::Stage::Ledger, ReceiptPosting::Stage::Client}) {
        posting.setStageHook([stage](ReceiptPosting::Stage s) {
            if (s == stage) throw std::runtime_error("injected");
        });
        EXPECT_THROW(posting.postOnce(d, kPeriod), std::runtime_error);
        EXPECT_EQ(counts(), before) << "stage " << static_cast<int>(stage);
        EXPECT_FALSE(co.db().inTransaction());
    }
    posting.setStageHook({});

    // The client's row is free again: another session can take it.
    {
        Session other;
        Cursor cli(other.database(co.companyDir()), "cli");
        cli.findKey({Value("C1")});
        EXPECT_NO_THROW(cli.edit());
        cli.cancel();
    }

    // A journal line that cannot be written aborts the whole posting instead
    // of being skipped.
    co.db().dropTable("tjld");
    try {
        posting.postOnce(d, kPeriod);
        ADD_FAILURE() << "posted without a journal";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kTableNotFound);
    }
    EXPECT_EQ(co.count("car"), before.car);
    EXPECT_EQ(co.count("crorihdr"), before.hdr);
    EXPECT_EQ(co.count("tjlh"), before.tjlh);
    EXPECT_EQ(balance("C1"), before.balance);
}

TEST_P(ReceiptPostingTest, ALockedClientRowIsWaitedForWithNothingWrittenMeanwhile) {
    startClient("C1");
    pay("A1", units(50));
    const ReceiptDocument d = doc("LCK");

    Session other;
    Cursor held(other.database(co.companyDir()), "cli");
    held.findKey({Value("C1")});
    held.edit();

    try {
        posting.postOnce(d, kPeriod);
        ADD_FAILURE() << "posted through another session's lock";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.isLock());
    }
    EXPECT_EQ(co.count("crorihdr"), 0);

    // Giving up posts nothing.
    int waits = 0;
    EXPECT_FALSE(posting.post(d, kPeriod, [&] { return ++waits < 3; }));
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(co.count("crorihdr"), 0);
    EXPECT_EQ(co.count("tjlh"), 0);

    // Once the other session lets go, the posting goes through.
    waits = 0;
    const auto r = posting.post(d, kPeriod, [&] {
        ++waits;
        held.cancel();
        return true;
    });
    ASSERT_TRUE(r);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(balance("C1"), units(1100 - 50));
}

// Another workstation holding the database's write lock past the busy
// time-out is neither a record lock nor a failure: the posting waits it out.
TEST_P(ReceiptPostingTest, ABusyDatabaseIsWaitedOutAndNotTakenForARecordLock) {
    startClient("C1");
    pay("A1", units(50));
    const ReceiptDocument d = doc("BSY");
    co.db().setBusyTimeout(50);
    Session otherSession;
    Database& other = otherSession.database(co.companyDir());
    other.startTransaction(true); // holds the write lock

    try {
        posting.postOnce(d, kPeriod);
        ADD_FAILURE() << "posted through another connection's write lock";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kDatabaseBusy);
        EXPECT_FALSE(e.isRecordLock());
        EXPECT_TRUE(e.isLock()); // waited out by the lock loops
    }
    EXPECT_EQ(co.count("crorihdr"), 0);

    int waits = 0;
    const auto r = posting.post(d, kPeriod, [&] {
        ++waits;
        other.commit();
        return true;
    });
    ASSERT_TRUE(r);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(balance("C1"), units(1100 - 50));
}

// Two processes post receipts for one client at once, all under one
// reference and date (so they share a journal header): no update is lost.
TEST_P(ReceiptPostingTest, TwoProcessesPostingForOneClientKeepTheBooksBalanced) {
    constexpr int kEach = 25;
    const std::string dir = co.companyDir();
    auto child = [&](int which) {
        try {
            Session s;
            Database& db = s.database(dir);
            const ControlAccounts accounts = ControlAccounts::load(db);
            ReceiptPosting p(db, accounts);
            p.setUser("proc" + std::to_string(which));
            for (int i = 0; i < kEach; ++i) {
                ReceiptDocument d;
                d.client = "C1";
                d.date = kPaid;
                d.reference = "FORK";
                d.invoices = {{"A3", "", kInv, kInv, units(400), Money::fromCents(100 + which)}};
                d.lines = {{kReceivables, "", {}, Money::fromCents(100 + which)},
                           {kBank, "", Money::fromCents(100 + which), {}}};
                const auto r = p.post(d, kPeriod, [] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    return true;
                });
                if (!r) return 2;
            }
            return 0;
        } catch (...) {
            return 1;
        }
    };
    pid_t pids[2];
    for (int k = 0; k < 2; ++k) {
        pids[k] = ::fork();
        ASSERT_GE(pids[k], 0);
        if (pids[k] == 0) ::_exit(child(k));
    }
    for (pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    EXPECT_EQ(balance("C1"), units(1100) - Money::fromCents(kEach * (100 + 101)));
    EXPECT_EQ(co.count("crorihdr"), 2 * kEach);
    Cursor tjlh(co.db(), "tjlh", true);
    ASSERT_EQ(tjlh.recordCount(), 1);
    tjlh.first();
    EXPECT_EQ(tjlh.money("Tjlh_tot_debit"), Money::fromCents(kEach * (100 + 101)));
    expectBooksBalance();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ReceiptPostingTest, VM_BOTH_BACKENDS);
