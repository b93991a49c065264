#include "common/journal/JournalWriter.h"
#include "engine/EngineError.h"
#include "modules/purchjrnl/core/PurchaseChecks.h"
#include "modules/purchjrnl/core/PurchaseEntry.h"
#include "modules/purchjrnl/core/PurchasePosting.h"
#include "modules/purchjrnl/core/PurchaseRules.h"
#include "tests/modules/purchjrnl/PayablesCompany.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::purchjrnl;
using namespace vm::test;

namespace {

const Date kDate = Date::fromYmd(2026, 5, 12);

class PurchaseTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { posting.setUser("Jane Clerk"); }

    // A document typed through the entry: the supplier's preset lines, then
    // the amounts of each line.
    PurchaseDocument typed(const std::string& supplier, const std::string& invoice,
                           const std::vector<std::tuple<int, Money, Money>>& amounts,
                           PurchaseType type = PurchaseType::Purchase, const std::string& ref = "") {
        const auto s = entry.findSupplier(supplier);
        entry.reset(s ? s->currency : 0);
        if (s) entry.applySupplierAccounts(*s);
        for (const auto& [line, debit, credit] : amounts) {
            if (!debit.isZero()) {
                EXPECT_TRUE(entry.setDebit(line, debit, type).ok());
            }
            if (!credit.isZero()) {
                EXPECT_TRUE(entry.setCredit(line, credit, type).ok());
            }
        }
        PurchaseDocument d;
        d.supplier = supplier;
        d.type = type;
        d.invoice = invoice;
        d.reference = ref;
        d.date = kDate;
        d.dueDate = dueDateFromTerms(kDate, s ? s->terms : 0);
        entry.fillLines(d);
        return d;
    }
    int check(const PurchaseDocument& d, bool memoConfirmed = false) {
        return PurchaseChecks::check(co.db(), co.accounts, d, memoConfirmed).message;
    }
    PurchaseResult post(const PurchaseDocument& d) {
        EXPECT_EQ(check(d, true), kMsgNone);
        return posting.postOnce(d, kPeriod);
    }

    PayablesCompany co{GetParam()};
    PurchaseEntry entry{co.db(), co.dataRoot(), co.accounts, 7};
    PurchasePosting posting{co.db(), co.accounts};
};

TEST_P(PurchaseTest, PurchasePostsJournalLedgerBalanceAndRecord) {
    // Two lines on one account go under one header whose totals are the sums.
    entry.reset(0);
    ASSERT_TRUE(entry.setAccount(2, kSupplies).ok());
    EXPECT_EQ(entry.line(2).description, "Office supplies");
    PurchaseDocument d = typed("S1", "INV1", {{0, {}, units(150)}, {1, units(100), {}}});
    entry.setAccount(2, kSupplies);
    entry.setDebit(2, units(50), PurchaseType::Purchase);
    entry.fillLines(d);
    d.memo = "May order";
    const PurchaseResult r = post(d);
    EXPECT_EQ(r.journal, 3);
    EXPECT_EQ(r.balanceChange, units(150));

    Cursor tjlh(co.db(), "tjlh", true);
    ASSERT_EQ(tjlh.recordCount(), 1);
    tjlh.first();
    EXPECT_EQ(tjlh.money("Tjlh_tot_debit"), units(150));
    EXPECT_EQ(tjlh.money("Tjlh_tot_credit"), units(150));
    EXPECT_EQ(tjlh.str("Tjlh_memo"), "Supplier One\rMay order");
    EXPECT_EQ(co.count("tjld"), 3);

    Cursor cap(co.db(), "cap", true);
    ASSERT_EQ(cap.recordCount(), 1);
    cap.first();
    EXPECT_EQ(cap.str("Cap_type"), "1");
    EXPECT_EQ(cap.money("Cap_amount"), units(150));
    EXPECT_EQ(cap.str("Cap_ref"), "");
    EXPECT_EQ(cap.date("Cap_du_date"), kDate.addDays(30));
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(150));
    EXPECT_EQ(co.supplierMoney("S1", "Sup_purch_ytd"), units(150));

    Cursor apori(co.db(), "apori", true);
    apori.first();
    EXPECT_EQ(apori.str("Supplier"), "S1");
    EXPECT_EQ(apori.str("Trx_type"), "1");
    EXPECT_FALSE(apori.boolean("DebitCredit"));
    EXPECT_EQ(apori.integer("Account1"), kPayables);
    EXPECT_EQ(apori.money("Credit1"), units(150));
    for (int k = 12; k <= 15; ++k) {
        EXPECT_EQ(apori.integer("Account" + std::to_string(k)), 0);
        EXPECT_EQ(apori.money("Debit" + std::to_string(k)), Money());
    }

    // The same number is refused for S1 but taken for S2, whose document of
    // the same date adds to the same header.
    EXPECT_EQ(check(typed("S1", "INV1", {{0, {}, units(20)}, {1, units(20), {}}})), kMsgInvoiceExists);
    post(typed("S2", "INV1", {{0, {}, units(20)}, {1, units(20), {}}}));
    tjlh.first();
    EXPECT_EQ(tjlh.money("Tjlh_tot_debit"), units(170));
    co.expectBooksBalance();
}

TEST_P(PurchaseTest, DebitNoteNeedsAnInvoiceAndAReferenceAndLeavesPurchaseTotalsAlone) {
    post(typed("S1", "INV0", {{0, {}, units(20)}, {1, units(20), {}}}));
    post(typed("S1", "INV1", {{0, {}, units(300)}, {1, units(300), {}}}));
    const Money ytd = co.supplierMoney("S1", "Sup_purch_ytd");
    EXPECT_EQ(ytd, units(320));
    EXPECT_EQ(co.supplierMoney("S1", "Sup_last_purch"), units(300)); // the last one, not a running sum

    // A debit note's payables line is a credit: a debit there is refused.
    entry.reset(0);
    const CheckResult refused = entry.setDebit(0, units(40), PurchaseType::Debit);
    EXPECT_EQ(refused.message, kMsgCreditExpected);
    EXPECT_EQ(entry.line(0).debit, Money());

    PurchaseDocument d =
        typed("S1", "NOPE", {{0, {}, units(40)}, {1, units(40), {}}}, PurchaseType::Debit, "");
    EXPECT_EQ(check(d), kMsgReferenceMissing);
    d.reference = "DN-7";
    EXPECT_EQ(check(d), kMsgInvoiceNotFound);
    d.invoice = "INV1";
    d.date = kDate.addDays(1); // its own journal entry
    post(d);
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(360));
    EXPECT_EQ(co.supplierMoney("S1", "Sup_purch_ytd"), ytd);
    Cursor cap(co.db(), "cap", true);
    cap.last();
    EXPECT_EQ(cap.str("Cap_type"), "4");
    EXPECT_EQ(cap.str("Cap_ref"), "DN-7");
    co.expectBooksBalance();
}

TEST_P(PurchaseTest, DueDateFromTerms) {
    // 930 in a month followed by a 30-day month: the 30th; 931 is its last day.
    EXPECT_EQ(dueDateFromTerms(Date::fromYmd(2026, 3, 20), 930), Date::fromYmd(2026, 4, 30));
    EXPECT_EQ(dueDateFromTerms(Date::fromYmd(2026, 3, 20), 931), Date::fromYmd(2026, 4, 30));
    EXPECT_EQ(dueDateFromTerms(Date::fromYmd(2026, 1, 31), 930), Date::fromYmd(2026, 2, 28));
    EXPECT_EQ(dueDateFromTerms(Date::fromYmd(2026, 12, 5), 915), Date::fromYmd(2027, 1, 15));
    EXPECT_EQ(dueDateFromTerms(kDate, 0), kDate);
    EXPECT_EQ(dueDateFromTerms(kDate, 45), kDate.addDays(45));
}

TEST_P(PurchaseTest, RefusedDocumentsWriteNothing) {
    // Out of balance by one ten-thousandth.
    PurchaseDocument d = typed("S1", "INV2", {{0, {}, units(100)}, {1, units(100) + Money::fromRaw(1), {}}});
    EXPECT_EQ(check(d), kMsgNotBalanced);
    // Direct/cash: no payables line, and a memo asked for.
    PurchaseDocument cash = typed("", "CASH1", {{0, {}, units(80)}, {1, units(80), {}}});
    cash.directCash = true;
    EXPECT_EQ(check(cash), kMsgMemoQuestion);
    EXPECT_EQ(check(cash, true), kMsgDirectCashPayables);
    // Totals beyond the money type.
    PurchaseDocument huge = typed("S1", "INV3", {});
    huge.lines[1].debit = huge.lines[2].debit = Money::fromRaw(INT64_MAX / 2 + 1);
    EXPECT_EQ(check(huge), kMsgAmountTooLarge);
    EXPECT_EQ(co.count("tjlh") + co.count("cap") + co.count("apori"), 0);

    // Paid at once through the bank: no supplier row, no ledger row.
    cash.lines[0] = {kBank, "Bank", {}, units(80)};
    cash.memo = "Stamps";
    post(cash);
    EXPECT_EQ(co.count("cap"), 0);
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), Money());
    Cursor apori(co.db(), "apori", true);
    apori.first();
    EXPECT_TRUE(apori.boolean("Direct_cash_purchase"));
    EXPECT_EQ(apori.str("Supplier"), "");
    co.expectBooksBalance();
}

TEST_P(PurchaseTest, AFailureAnywhereInThePostingLeavesNoRowOfIt) {
    const PurchaseDocument d = typed("S1", "INV9", {{0, {}, units(75)}, {1, units(75), {}}});
    auto rows = [&] { return co.count("tjlh") + co.count("tjld") + co.count("cap") + co.count("apori"); };
    for (auto stage : {PurchasePosting::Stage::Journal, PurchasePosting::Stage::Supplier,
                       PurchasePosting::Stage::Ledger, PurchasePosting::Stage::Record}) {
        posting.setStageHook([stage](PurchasePosting::Stage s) {
            if (s == stage) throw std::runtime_error("injected");
        });
        EXPECT_THROW(posting.postOnce(d, kPeriod), std::runtime_error);
        EXPECT_EQ(rows(), 0) << "stage " << static_cast<int>(stage);
        EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), Money());
    }
    posting.setStageHook({});

    // A balance that would overflow refuses the whole document.
    co.ledger("S1", "BIG", "1", Money::fromRaw(INT64_MAX - 10), kDate);
    EXPECT_THROW(posting.postOnce(d, kPeriod), journal::AmountOverflow);
    EXPECT_EQ(co.count("tjlh") + co.count("apori"), 0);

    // A journal line that cannot be written aborts the posting.
    co.db().dropTable("tjld");
    EXPECT_THROW(posting.postOnce(typed("S2", "INV9", {{0, {}, units(5)}, {1, units(5), {}}}), kPeriod),
                 EngineError);
    EXPECT_EQ(co.count("apori"), 0);
    EXPECT_EQ(co.supplierMoney("S2", "Sup_current_bal"), Money());
}

// The server ends the workstation's connections half-way through a posting
// (a network cut): the posting fails and nothing of it is written.
TEST(PurchaseOnServer, ADroppedConnectionMidPostingLeavesNothingWritten) {
    PayablesCompany co(Backend::Postgres);
    PurchaseEntry entry(co.db(), co.dataRoot(), co.accounts, 7);
    entry.reset(0);
    entry.applySupplierAccounts(*entry.findSupplier("S1"));
    entry.setCredit(0, units(75), PurchaseType::Purchase);
    entry.setDebit(1, units(75), PurchaseType::Purchase);
    PurchaseDocument d;
    d.supplier = "S1";
    d.invoice = "CUT";
    d.date = kDate;
    entry.fillLines(d);
    PurchasePosting posting(co.db(), co.accounts);
    bool dropped = false;
    posting.setStageHook([&](PurchasePosting::Stage s) {
        if (s == PurchasePosting::Stage::Ledger && !dropped) {
            dropped = true;
            PgServer::instance().run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                     "WHERE datname = current_database() AND pid <> pg_backend_pid()");
        }
    });
    EXPECT_THROW(posting.postOnce(d, kPeriod), EngineError);
    EXPECT_TRUE(dropped);

    Session other;
    Database& db = other.database(co.companyDir());
    for (const char* table : {"tjlh", "tjld", "cap", "apori"})
        EXPECT_EQ(Cursor(db, table, true).recordCount(), 0) << table;
    Cursor sup(db, "sup", true);
    ASSERT_TRUE(sup.findKey({Value("S1")}));
    EXPECT_EQ(sup.money("Sup_current_bal"), Money());
}

TEST_P(PurchaseTest, TheDistributionLivesInTheSessionsOwnVirmemRow) {
    // Session 7 had no row: the entry made one and holds it.
    Cursor row(co.dataRoot(), "virmem", true);
    ASSERT_TRUE(row.findKey({Value(7)}));
    Session other;
    Cursor theirs(other.database(co.dataDir()), "virmem");
    theirs.findKey({Value(7)});
    try {
        theirs.edit();
        ADD_FAILURE() << "another session took the entry's row";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.isLock());
    }
    // A non-zero amount clears the other side; totals follow.
    entry.reset(1);
    EXPECT_EQ(entry.line(0).account, kPayablesUs);
    entry.setCredit(1, units(9), PurchaseType::Purchase);
    entry.setDebit(1, units(4), PurchaseType::Purchase);
    EXPECT_EQ(entry.line(1).credit, Money());
    EXPECT_EQ(entry.totals().debit, units(4));
    EXPECT_EQ(entry.totals().credit, Money());
    EXPECT_EQ(entry.setAccount(9, kNotInChart).message, kMsgAccountNotFound);
    EXPECT_EQ(entry.line(9).account, 0);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, PurchaseTest, VM_BOTH_BACKENDS);
