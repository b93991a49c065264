#include "modules/chqedit/core/ChequeEntryEditor.h"

#include "common/core/AmountInWords.h"
#include "engine/EngineError.h"
#include "tests/fixture/TempCompany.h"

#include <cstdio>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

using namespace vm;
using namespace vm::chqedit;

namespace {

Money units(std::int64_t n) {
    return Money::fromUnits(n);
}

class ChequeEntryTest : public test::BackendCompanyTest {
protected:
    void SetUp() override {
        company.addAccount(1000, "Bank");
        company.addAccount(2100, "Accounts payable");
        company.addAccount(5100, "Discounts earned");
        company.addAccount(5200, "Rent");
        company.setCtrl({{"Ctrl_bank_accnt1", 1000},
                         {"Ctrl_ap_accnt", 2100},
                         {"Ctrl_ap_disb_accnt2", 5100},
                         {"Ctrl_ap_disb_accnt3", 5200},
                         {"Ctrl_dollars1", "Dollars"},
                         {"Ctrl_cents1", "Cents"}});
        company.addSupplier("ACME", "Acme Supplies", {{"Sup_bank_account", 1000}, {"Sup_city", "Laval"}});
        const Date d = Date::fromYmd(2026, 3, 1);
        company.addCap("ACME", "A-1", "1", d, units(100), {{"Cap_du_date", Date::fromYmd(2026, 3, 31)}});
        company.addCap("ACME", "A-2", "1", d, units(50));
        company.addCap("ACME", "A-2", "2", d, units(-50)); // paid
        company.addCap("ACME", "A-3", "1", d, units(30));
    }

    ChequeEntryEditor& open(ChequeBook book = ChequeBook::Entries, int session = 1) {
        ChequeEntryEditor::createWorkTables(company.db(), company.dataRoot(), book, session);
        // Lines are edited on their own connection, as in the window.
        work = std::make_unique<Database>(company.companyDir());
        editor = std::make_unique<ChequeEntryEditor>(company.db(), *work, book, session);
        return *editor;
    }

    // A new entry for ACME paying A-1 in full.
    void newAcmeEntry(ChequeEntryEditor& e) {
        e.header().insert();
        e.newEntry();
        ASSERT_EQ(e.supplierExit("ACME", ""), kNoMessage);
        e.buildInvoiceList();
        ASSERT_TRUE(e.chooseInvoice("A-1").accepted);
    }

    std::int64_t storedLines(std::int64_t seq) {
        Cursor c(company.db(), "apchqd", true);
        c.setIndex("Apchqd_seq");
        c.setRange({Value(seq)});
        return c.recordCount();
    }

    std::unique_ptr<Database> work;
    std::unique_ptr<ChequeEntryEditor> editor;
};

// The first entry is number 1; the next takes the highest + 1; the store
// writes the header and its lines with the header's number, and the payee
// comes from the supplier.
TEST_P(ChequeEntryTest, NewEntriesAreNumberedFromOneAndStoredWithTheirLines) {
    auto& e = open();
    newAcmeEntry(e);
    EXPECT_EQ(e.header().integer("Apchqh_seq"), 1);
    EXPECT_EQ(e.header().str("Apchqh_city"), "Laval");
    EXPECT_EQ(e.header().integer("Apchqh_accnt1"), 2100);
    ASSERT_FALSE(e.storeRefusal(false).has_value());
    e.store();
    newAcmeEntry(e);
    e.storeRefusal(false);
    e.store();
    EXPECT_EQ(e.header().integer("Apchqh_seq"), 2);
    EXPECT_EQ(storedLines(1), 1);
    EXPECT_EQ(storedLines(2), 1);
    ASSERT_TRUE(e.header().findKey({Value(1)}));
    EXPECT_EQ(e.header().money("Apchqh_Montant"), units(100));
    EXPECT_EQ(e.header().money("Apchqh_dist2"), units(-100));
}

// A supplier's cheque takes only the supplier's invoices; without supplier
// any reference is free. The list of invoices holds the open ones only, and
// an invoice is paid once per cheque.
TEST_P(ChequeEntryTest, InvoicesAreTheSuppliersOpenOnesEachOnce) {
    auto& e = open();
    e.header().insert();
    e.newEntry();
    e.supplierExit("ACME", "");
    const LineResult unknown = e.setInvoice(0, "Z-9");
    EXPECT_EQ(unknown.message, kMsgInvoiceNotFound);
    EXPECT_FALSE(unknown.accepted);
    EXPECT_EQ(e.lineCount(), 0);

    e.buildInvoiceList();
    std::vector<std::string> open;
    for (bool on = e.invoiceList().first(); on; on = e.invoiceList().next())
        open.push_back(e.invoiceList().str("Car_invoice"));
    EXPECT_EQ(open, (std::vector<std::string>{"A-1", "A-3"}));
    EXPECT_TRUE(e.chooseInvoice("A-1").accepted);
    EXPECT_EQ(e.chooseInvoice("A-1").message, kMsgInvoiceOnCheque);
    EXPECT_EQ(e.setInvoice(0, "A-1").message, kMsgInvoiceOnCheque);
    EXPECT_EQ(e.lineCount(), 1);

    e.header().cancel();
    e.header().insert();
    e.newEntry();
    const LineResult free = e.setInvoice(0, "Z-9");
    EXPECT_TRUE(free.accepted);
    EXPECT_EQ(e.lineCount(), 1);
}

// Discount 10 on 100: the payment is 90, the cheque 10 less, and its words
// follow.
TEST_P(ChequeEntryTest, ADiscountLowersThePaymentTheAmountAndTheWords) {
    auto& e = open();
    newAcmeEntry(e);
    const std::int64_t row = e.workLines().rowId();
    EXPECT_EQ(e.header().money("Apchqh_Montant"), units(100));
    const CurrencyWords words{"Dollars", "Cents"};
    EXPECT_EQ(e.header().str("Apchqh_desc"), *amountInWords(units(100), 1, words));
    e.setAmounts(row, std::nullopt, units(10));
    ASSERT_TRUE(e.workLines().gotoRowId(row));
    EXPECT_EQ(e.workLines().money("Apchqd_payment"), units(90));
    EXPECT_EQ(e.header().money("Apchqh_Montant"), units(90));
    EXPECT_EQ(e.header().str("Apchqh_desc"), *amountInWords(units(90), 1, words));
    e.deleteLine(row);
    EXPECT_EQ(e.header().money("Apchqh_Montant"), Money());
    EXPECT_EQ(e.header().str("Apchqh_desc"), "");
}

// A cheque without supplier is refused at its first store with its lines
// on slot 4 and the bank on slot 2; stored at the second once slot 4's
// account is in the chart. Slot 1 never carries an amount without supplier.
TEST_P(ChequeEntryTest, ChequeWithoutSupplierIsRefusedOnceForItsDistribution) {
    auto& e = open();
    e.header().insert();
    e.newEntry();
    const LineResult line = e.setInvoice(0, "RENT");
    e.setAmounts(line.rowId, units(50), std::nullopt);
    const auto first = e.storeRefusal(false);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->distribution);
    EXPECT_EQ(first->message, kNoMessage);
    EXPECT_EQ(e.header().money("Apchqh_dist4"), units(50));
    EXPECT_EQ(e.header().money("Apchqh_dist2"), units(-50));
    EXPECT_EQ(e.header().integer("Apchqh_accnt4"), 5200);

    e.header().set("Apchqh_dist1", units(5));
    e.header().set("Apchqh_dist4", units(45));
    EXPECT_EQ(e.storeRefusal(true)->message, kMsgPayablesWithoutSupplier);
    e.header().set("Apchqh_dist1", Money());
    EXPECT_EQ(e.storeRefusal(true)->message, kMsgUnbalanced);
    e.header().set("Apchqh_dist4", units(50));
    e.header().set("Apchqh_accnt4", 0);
    EXPECT_EQ(e.storeRefusal(true)->message, kMsgAccountNotFound);
    e.header().set("Apchqh_accnt4", 5200);
    EXPECT_FALSE(e.storeRefusal(true).has_value());
    e.store();
    EXPECT_EQ(storedLines(1), 1);
}

// A company bank or payables account typed into a free slot is cleared with
// message 11; an account the chart does not hold gives message 1.
TEST_P(ChequeEntryTest, BankAndPayablesAccountsAreRefusedInTheDistribution) {
    auto& e = open();
    e.header().insert();
    e.newEntry();
    for (const int account : {1000, 2100}) {
        e.header().set("Apchqh_accnt5", account);
        EXPECT_EQ(e.slotAccountExit(5), kMsgReservedAccount);
        EXPECT_EQ(e.header().integer("Apchqh_accnt5"), 0);
    }
    e.header().set("Apchqh_accnt6", 9999);
    EXPECT_EQ(e.slotAccountExit(6), kMsgAccountNotFound);
    e.header().set("Apchqh_accnt6", 5200);
    EXPECT_EQ(e.slotAccountExit(6), kNoMessage);
}

// A template refuses a negative amount or discount with message 13 and
// takes 0 instead.
TEST_P(ChequeEntryTest, TemplateRefusesNegativeAmounts) {
    auto& e = open(ChequeBook::Recurring);
    e.header().insert();
    e.newEntry();
    const LineResult line = e.setInvoice(0, "LEASE");
    ASSERT_TRUE(line.accepted);
    EXPECT_EQ(e.setAmounts(line.rowId, units(-5), std::nullopt), kMsgNegativeAmount);
    ASSERT_TRUE(e.workLines().gotoRowId(line.rowId));
    EXPECT_EQ(e.workLines().money("Apchqd_montant"), Money());
    EXPECT_EQ(e.setAmounts(line.rowId, units(100), std::nullopt), kNoMessage);
    EXPECT_TRUE(e.storeRefusal(false)->distribution);
    e.header().set("Apchqh_dist4", units(60));
    e.header().set("Apchqh_dist5", units(40));
    e.header().set("Apchqh_accnt5", 5100);
    EXPECT_FALSE(e.storeRefusal(true).has_value());
    e.store();
    Cursor lines(company.db(), "recchqd", true);
    EXPECT_EQ(lines.recordCount(), 1);
}

// A template drawn on the second bank of the list is written in the words
// of the second currency.
TEST_P(ChequeEntryTest, TemplateOnTheSecondBankTakesTheSecondCurrencysWords) {
    company.addAccount(1010, "Bank - US");
    company.setCtrl(
        {{"Ctrl_bank_accnt2", 1010}, {"Ctrl_dollars2", "US Dollars"}, {"Ctrl_cents2", "US Cents"}});
    auto& e = open(ChequeBook::Recurring);
    e.header().insert();
    e.newEntry();
    e.bankChosen(1);
    EXPECT_EQ(e.header().integer("Apchqh_accnt2"), 1010);
    e.setAmounts(e.setInvoice(0, "LEASE").rowId, units(12), std::nullopt);
    EXPECT_EQ(e.header().str("Apchqh_desc"), *amountInWords(units(12), 1, {"US Dollars", "US Cents"}));
}

// A failure at any statement of a store or a delete leaves the stored
// entry as it was: never a header without its lines or lines without their
// header.
TEST_P(ChequeEntryTest, FailureDuringStoreOrDeleteLeavesTheStoredEntryIntact) {
    auto& e = open();
    newAcmeEntry(e);
    e.storeRefusal(false);
    e.store();
    const std::int64_t seq = e.header().integer("Apchqh_seq");
    for (int nth = 1;; ++nth) {
        e.header().edit();
        e.buildInvoiceList();
        e.chooseInvoice("A-3");
        e.storeRefusal(false);
        company.db().injectFault(nth);
        bool failed = false;
        try {
            e.store();
        } catch (const EngineError&) {
            failed = true;
        }
        const bool fired = company.db().faultFired();
        company.db().injectFault(0);
        if (!fired) {
            EXPECT_FALSE(failed);
            EXPECT_EQ(storedLines(seq), 2);
            break;
        }
        EXPECT_TRUE(failed) << nth;
        if (e.header().state() != Cursor::State::Browse) e.header().cancel();
        e.loadLines();
        EXPECT_EQ(storedLines(seq), 1) << nth;
        ASSERT_TRUE(e.header().findKey({Value(seq)}));
        EXPECT_EQ(e.header().money("Apchqh_Montant"), units(100)) << nth;
    }
    for (int nth = 1;; ++nth) {
        ASSERT_TRUE(e.header().findKey({Value(seq)}));
        company.db().injectFault(nth);
        bool failed = false;
        try {
            e.remove();
        } catch (const EngineError&) {
            failed = true;
        }
        const bool fired = company.db().faultFired();
        company.db().injectFault(0);
        Cursor headers(company.db(), "apchqh", true);
        if (!fired) {
            EXPECT_EQ(headers.recordCount(), 0);
            EXPECT_EQ(storedLines(seq), 0);
            break;
        }
        EXPECT_TRUE(failed) << nth;
        EXPECT_EQ(headers.recordCount(), 1) << nth;
        EXPECT_EQ(storedLines(seq), 2) << nth;
    }
}

// Two workstations adding entries at the same moment keep every entry, each
// with its own number and its own lines: both take their new entry's number
// before either stores.
TEST_P(ChequeEntryTest, TwoWorkstationsAddingEntriesKeepThemAll) {
    constexpr int kEach = 4;
    const std::string companyDir = company.companyDir(), dataDir = company.dataDir();
    const std::string base = company.rootDir();
    // Each round waits until the other workstation has its new entry open.
    auto meet = [&](int session, int round) {
        const std::string mine = base + "/ready-" + std::to_string(session) + "-" + std::to_string(round);
        const std::string theirs =
            base + "/ready-" + std::to_string(3 - session) + "-" + std::to_string(round);
        std::fclose(std::fopen(mine.c_str(), "w"));
        for (int i = 0; i < 500 && !std::filesystem::exists(theirs); ++i)
            ::usleep(10000);
    };
    auto child = [&](int session) -> int {
        try {
            Database db(companyDir);
            Database root(dataDir);
            ChequeEntryEditor::createWorkTables(db, root, ChequeBook::Entries, session);
            Database lines(companyDir);
            ChequeEntryEditor e(db, lines, ChequeBook::Entries, session);
            for (int i = 0; i < kEach; ++i) {
                e.header().insert();
                e.newEntry();
                const LineResult line = e.setInvoice(0, "W" + std::to_string(session));
                e.setAmounts(line.rowId, units(10), std::nullopt);
                e.storeRefusal(false);
                if (e.storeRefusal(true)) return 3;
                meet(session, i);
                e.store();
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
        if (pids[k] == 0) ::_exit(child(k + 1));
    }
    for (pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    Cursor headers(company.db(), "apchqh", true);
    EXPECT_EQ(headers.recordCount(), 2 * kEach);
    for (bool on = headers.first(); on; on = headers.next())
        EXPECT_EQ(storedLines(headers.integer("Apchqh_seq")), 1);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ChequeEntryTest, VM_BOTH_BACKENDS);
