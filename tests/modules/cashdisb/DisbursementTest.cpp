#include "engine/EngineError.h"
#include "modules/cashdisb/core/DisbursementChecks.h"
#include "modules/cashdisb/core/DisbursementEntry.h"
#include "modules/cashdisb/core/DisbursementPosting.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchasePosting.h"
#include "tests/modules/purchjrnl/PayablesCompany.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace vm;
using namespace vm::cashdisb;
using namespace vm::test;

namespace {

const Date kInv = Date::fromYmd(2026, 4, 2);
const Date kPaid = Date::fromYmd(2026, 5, 20);

class DisbursementTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        co.ledger("S1", "A1", "1", units(100), kInv);
        co.ledger("S1", "A2", "1", units(200), kInv.addDays(1));
        co.ledger("S1", "A3", "1", units(350), kInv.addDays(2));
        co.ledger("S1", "A3", "2", units(-50), kInv.addDays(9));
        entry.createWorkTables(co.dataRoot());
        posting.setUser("Jane Clerk");
    }

    void startSupplier(const std::string& code, const std::string& ref = "CHQ1") {
        entry.startSupplier(*entry.findSupplier(code), ref);
    }
    void pay(const std::string& invoice, Money amount) {
        for (const auto& r : entry.invoices())
            if (r.invoice == invoice) return entry.setPayment(r.rowId, amount);
        FAIL() << "no invoice " << invoice;
    }
    std::int64_t lineRow(std::int32_t account) {
        for (const auto& r : entry.lines())
            if (r.line.accountOrZero() == account) return r.rowId;
        ADD_FAILURE() << "no row " << account;
        return 0;
    }
    int check(const DisbursementDocument& d, bool memoConfirmed = false) {
        return DisbursementChecks::check(co.db(), co.accounts, d, memoConfirmed).message;
    }
    DisbursementResult post(const std::string& ref, const std::string& memo = "") {
        const DisbursementDocument d = entry.document(kPaid, ref, memo);
        EXPECT_EQ(check(d, true), kMsgNone);
        const DisbursementResult r = posting.postOnce(d, kPeriod);
        entry.clear();
        return r;
    }
    // (invoice, type, amount) of the supplier's rows written by `ref`.
    std::vector<std::tuple<std::string, std::string, Money>> rowsOf(const std::string& ref) {
        std::vector<std::tuple<std::string, std::string, Money>> out;
        Cursor cap(co.db(), "cap", true);
        for (bool more = cap.first(); more; more = cap.next())
            if (cap.str("Cap_ref") == ref)
                out.emplace_back(cap.str("Cap_invoice"), cap.str("Cap_type"), cap.money("Cap_amount"));
        return out;
    }

    PayablesCompany co{GetParam()};
    DisbursementEntry entry{co.db(), co.accounts, 4};
    DisbursementPosting posting{co.db(), co.accounts};
};

using Row = std::tuple<std::string, std::string, Money>;

TEST_P(DisbursementTest, PayingThreeInvoicesInFull) {
    startSupplier("S1");
    const auto invoices = entry.invoices();
    ASSERT_EQ(invoices.size(), 3u);
    EXPECT_EQ(invoices[2].amount, units(300)); // A3 net of its earlier payment
    for (const auto& r : invoices)
        EXPECT_TRUE(entry.payInFull(r.rowId));
    const auto lines = entry.lines();
    EXPECT_EQ(lines[0].line.accountOrZero(), kPayables);
    EXPECT_EQ(lines[0].line.debit, units(600));
    EXPECT_EQ(lines[1].line.accountOrZero(), kBank);
    EXPECT_EQ(lines[1].line.credit, units(600));
    EXPECT_EQ(entry.totals().debit, units(600));

    const DisbursementResult r = post("CHQ1", "April");
    EXPECT_EQ(r.journal, 4);
    EXPECT_EQ(
        rowsOf("CHQ1"),
        (std::vector<Row>{{"A1", "2", units(-100)}, {"A2", "2", units(-200)}, {"A3", "2", units(-300)}}));
    EXPECT_EQ(co.count("cdoridet"), 3);
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), Money());
    Cursor concil(co.db(), "concil", true);
    ASSERT_EQ(concil.recordCount(), 1);
    concil.first();
    EXPECT_EQ(concil.money("Concil_montant"), units(-600));
    EXPECT_EQ(concil.integer("Concil_type"), 2);
    Cursor hdr(co.db(), "cdorihdr", true);
    hdr.first();
    EXPECT_EQ(hdr.integer("Account2"), kBank);
    EXPECT_EQ(hdr.money("Credit2"), units(600));
    EXPECT_EQ(hdr.integer("Account3"), kBankCharges); // rows without amounts are stored too
    co.expectBooksBalance();
}

TEST_P(DisbursementTest, TheLedgerFollowsWhatThePayablesRowsMove) {
    // 1000 paid, 800 applied: the rest goes on account.
    startSupplier("S1");
    pay("A1", units(100));
    pay("A3", units(700)); // more than it owes: a payment is what the user says
    entry.setLineDebit(lineRow(kPayables), units(1000));
    entry.setLineCredit(lineRow(kBank), units(1000));
    EXPECT_EQ(post("P1").balanceChange, units(-1000));
    EXPECT_EQ(
        rowsOf("P1"),
        (std::vector<Row>{{"A1", "2", units(-100)}, {"A3", "2", units(-700)}, {"P1", "5", units(-200)}}));

    // On account with nothing applied: one type "5" row.
    startSupplier("S2");
    entry.setLineDebit(lineRow(kPayables), units(50));
    entry.setLineCredit(lineRow(kBank), units(50));
    post("P2");
    EXPECT_EQ(rowsOf("P2"), (std::vector<Row>{{"P2", "5", units(-50)}}));

    // A refund credited to payables: one type "4" row raising the balance.
    startSupplier("S2");
    entry.setLineCredit(lineRow(kPayables), units(30));
    entry.setLineDebit(lineRow(kBank), units(30));
    EXPECT_EQ(post("R1").balanceChange, units(30));
    EXPECT_EQ(rowsOf("R1"), (std::vector<Row>{{"R1", "4", units(30)}}));

    // A negative payment: a positive type "2" row and no cdoridet row.
    const auto details = co.count("cdoridet");
    startSupplier("S1");
    pay("A2", units(-25));
    EXPECT_EQ(entry.lines()[0].line.credit, units(25));
    post("N1");
    EXPECT_EQ(rowsOf("N1"), (std::vector<Row>{{"A2", "2", units(25)}}));
    EXPECT_EQ(co.count("cdoridet"), details);
    co.expectBooksBalance();
}

TEST_P(DisbursementTest, DistributionRulesAndRefusals) {
    startSupplier("U1");
    // U1's own US bank goes on top; the US payables row follows.
    EXPECT_EQ(entry.lines()[0].line.accountOrZero(), kBankUs);
    EXPECT_EQ(entry.lines()[1].line.accountOrZero(), kPayablesUs);
    while (entry.lineCount() < DisbursementDocument::kMaxLines)
        ASSERT_TRUE(entry.addLine());
    EXPECT_FALSE(entry.addLine()); // the 21st row
    const std::int64_t last = entry.lines().back().rowId;
    EXPECT_EQ(entry.setLineAccount(last, kNotInChart).message, kMsgAccountInvalid);
    entry.setLineDebit(last, units(5));
    EXPECT_EQ(entry.setLineAccount(last, 0).message, kMsgAccountInvalid);
    DisbursementDocument d = entry.document(kPaid, "", "");
    EXPECT_EQ(check(d), kMsgReferenceMissing);
    d.reference = "X";
    EXPECT_EQ(check(d), kMsgAccountInvalid);

    // Not to a supplier: a memo is asked for, payables are refused, and the
    // journal is that of the bank that carries the amount, not of the preset
    // company bank row left at zero.
    entry.startNotToSupplier();
    entry.setLineDebit(lineRow(kBankCharges), units(12));
    entry.setLineCredit(lineRow(kPayables), units(12));
    d = entry.document(kPaid, "T1", "");
    EXPECT_EQ(check(d), kMsgMemoQuestion);
    EXPECT_EQ(check(d, true), kMsgPayablesNotToSupplier);
    entry.setLineCredit(lineRow(kPayables), Money());
    const auto us = entry.addLine();
    ASSERT_EQ(entry.setLineAccount(*us, kBankUs).message, kMsgNone);
    entry.setLineCredit(*us, units(12));
    EXPECT_EQ(post("T1", "Wire fee").journal, 42);
    EXPECT_EQ(co.count("cap"), 4); // only SetUp's rows
    co.expectBooksBalance();
}

TEST_P(DisbursementTest, AFailureAnywhereInThePostingLeavesNoRowOfIt) {
    startSupplier("S1");
    pay("A1", units(100));
    const DisbursementDocument d = entry.document(kPaid, "F1", "");
    auto rows = [&] {
        return co.count("cdorihdr") + co.count("cdoridet") + co.count("tjlh") + co.count("tjld") +
               co.count("concil") + co.count("cap");
    };
    const auto before = rows();
    for (auto stage : {DisbursementPosting::Stage::Header, DisbursementPosting::Stage::Journal,
                       DisbursementPosting::Stage::Ledger, DisbursementPosting::Stage::Supplier}) {
        posting.setStageHook([stage](DisbursementPosting::Stage s) {
            if (s == stage) throw std::runtime_error("injected");
        });
        EXPECT_THROW(posting.postOnce(d, kPeriod), std::runtime_error);
        EXPECT_EQ(rows(), before) << "stage " << static_cast<int>(stage);
        EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(600));
    }
    posting.setStageHook({});

    // Waiting for a supplier row held elsewhere writes nothing; giving up
    // leaves nothing either.
    Session other;
    Cursor held(other.database(co.companyDir()), "sup");
    held.findKey({Value("S1")});
    held.edit();
    int waits = 0;
    EXPECT_FALSE(posting.post(d, kPeriod, [&] { return ++waits < 3; }));
    EXPECT_EQ(rows(), before);
    held.cancel();
    EXPECT_TRUE(posting.post(d, kPeriod, {}));
    co.expectBooksBalance();
}

// Several processes post purchases and disbursements for the same suppliers
// at once, under shared references and dates: no update is lost and the
// books check clean.
TEST_P(DisbursementTest, SeveralProcessesPostingForTheSameSuppliersKeepTheBooksClean) {
    constexpr int kProcesses = 3, kEach = 12;
    const std::string dir = co.companyDir();
    auto child = [&](int which) {
        try {
            Session s;
            Database& db = s.database(dir);
            const auto accounts = journal::ControlAccounts::load(db);
            purchjrnl::PurchasePosting purchases(db, accounts);
            DisbursementPosting disbursements(db, accounts);
            auto wait = [] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return true;
            };
            for (int i = 0; i < kEach; ++i) {
                const std::string supplier = i % 2 ? "S1" : "S2";
                purchjrnl::PurchaseDocument p;
                p.supplier = supplier;
                p.invoice = "P" + std::to_string(which) + "-" + std::to_string(i);
                p.date = p.dueDate = kPaid;
                p.lines[0] = {kPayables, "", {}, units(10 + which)};
                p.lines[1] = {kSupplies, "", units(10 + which), {}};
                if (!purchases.post(p, kPeriod, wait)) return 2;
                DisbursementDocument d;
                d.supplier = supplier;
                d.date = kPaid;
                d.reference = "SHARED";
                d.invoices = {{p.invoice, kPaid, kPaid, units(10 + which), units(4)}};
                d.lines = {{kPayables, "", units(4), {}}, {kBank, "", {}, units(4)}};
                if (!disbursements.post(d, kPeriod, wait)) return 2;
            }
            return 0;
        } catch (...) {
            return 1;
        }
    };
    pid_t pids[kProcesses];
    for (int k = 0; k < kProcesses; ++k) {
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
    EXPECT_EQ(co.count("apori"), kProcesses * kEach);
    EXPECT_EQ(co.count("cdorihdr"), kProcesses * kEach);
    // 600 from SetUp, plus (10 + k - 4) per document of process k.
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal") + co.supplierMoney("S2", "Sup_current_bal"),
              units(600 + kEach * (6 + 7 + 8)));
    co.expectBooksBalance();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, DisbursementTest, VM_BOTH_BACKENDS);
