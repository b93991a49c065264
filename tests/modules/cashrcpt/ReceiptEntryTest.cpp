#include "modules/cashrcpt/core/ReceiptEntry.h"

#include "tests/modules/cashrcpt/ReceiptCompany.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::cashrcpt;
using namespace vm::test;

namespace {

const Date kJan = Date::fromYmd(2026, 1, 15);

class ReceiptEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        co.client("C1", "Client One");
        co.client("C2", "Client Two");
        co.client("U1", "US Client", 1);
        entry.createWorkTables(*co.root);
    }

    ReceiptEntry::Client clientOf(const std::string& code) { return *entry.findClient(code); }
    std::int64_t rowOf(const std::string& invoice) {
        for (const auto& r : entry.invoices())
            if (r.invoice == invoice) return r.rowId;
        ADD_FAILURE() << "no row for " << invoice;
        return 0;
    }
    DistributionLine lineOf(std::int32_t account) {
        for (const auto& r : entry.lines())
            if (r.line.accountOrZero() == account) return r.line;
        ADD_FAILURE() << "no line for " << account;
        return {};
    }

    vm::test::ReceiptCompany co;
    ReceiptEntry entry{co.db(), co.accounts, 7};
};

TEST_F(ReceiptEntryTest, OpenInvoiceListHasOneRowPerInvoiceWithItsNetAmount) {
    co.ledger("C1", "A100", "1", units(500), kJan, "", "S1");
    co.ledger("C1", "A100", "2", units(-200), kJan.addDays(10), "R1");
    co.ledger("C1", "A100", "2", units(-50), kJan.addDays(20), "R2");
    co.ledger("C1", "A200", "1", units(300), kJan.addDays(1));
    co.ledger("C1", "A200", "2", units(-300), kJan.addDays(5), "R3"); // fully paid: still listed
    co.ledger("C2", "A100", "1", units(999), kJan); // another client's invoice of that number

    entry.startClient(clientOf("C1"), "CHQ9");
    const auto rows = entry.invoices();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].invoice, "A100");
    EXPECT_EQ(rows[0].amount, units(250));
    EXPECT_EQ(rows[0].date, kJan);
    EXPECT_EQ(rows[0].dueDate, kJan.addDays(30));
    EXPECT_EQ(rows[1].invoice, "A200");
    EXPECT_EQ(rows[1].amount, Money());
    EXPECT_TRUE(entry.active());

    // The list rows are ready to become payments of this receipt.
    Cursor list(co.db(), entry.invoiceTable(), true);
    list.first();
    EXPECT_EQ(list.str("Car_ref"), "CHQ9");
    EXPECT_EQ(list.str("Car_type"), "2");
    EXPECT_EQ(list.str("Car_slsm"), "S1");
}

TEST_F(ReceiptEntryTest, DistributionIsPresetForTheClientsCurrency) {
    entry.startClient(clientOf("C1"), "R");
    auto lines = entry.lines();
    ASSERT_EQ(lines.size(), 3u); // receivables, bank, discounts; the account not in the chart is left out
    EXPECT_EQ(lines[0].line.account, kReceivables);
    EXPECT_EQ(lines[0].line.description, "Accounts receivable");
    EXPECT_EQ(lines[1].line.account, vm::test::kBank);
    EXPECT_EQ(lines[2].line.account, vm::test::kDiscounts);

    // A US client gets the US receivables account, and the template's bank
    // account becomes the US bank.
    entry.clear();
    entry.startClient(clientOf("U1"), "R");
    lines = entry.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].line.account, vm::test::kReceivablesUs);
    EXPECT_EQ(lines[1].line.account, vm::test::kBankUs);
    EXPECT_EQ(lines[1].line.description, "Bank - US");

    // Not from a client: the home accounts and no invoice list.
    entry.clear();
    co.ledger("C1", "A1", "1", units(10), kJan);
    entry.startNotFromClient();
    EXPECT_FALSE(entry.active());
    EXPECT_TRUE(entry.invoices().empty());
    EXPECT_EQ(entry.lines()[0].line.account, kReceivables);
    EXPECT_EQ(entry.lines()[1].line.account, vm::test::kBank);
}

TEST_F(ReceiptEntryTest, PaymentsDriveTheReceivablesAndBankLinesByTheirTotal) {
    co.ledger("C1", "A1", "1", units(400), kJan);
    co.ledger("C1", "A2", "1", units(100), kJan);
    entry.startClient(clientOf("C1"), "R");

    entry.setPayment(rowOf("A1"), units(150));
    entry.setPayment(rowOf("A2"), units(100));
    EXPECT_EQ(lineOf(kReceivables).credit, units(250));
    EXPECT_EQ(lineOf(kReceivables).debit, Money());
    EXPECT_EQ(lineOf(vm::test::kBank).debit, units(250));

    // Changing a payment again moves the lines by the difference only.
    entry.setPayment(rowOf("A1"), units(120));
    entry.setPayment(rowOf("A1"), units(130));
    EXPECT_EQ(entry.paymentTotal(), units(230));
    EXPECT_EQ(lineOf(kReceivables).credit, units(230));
    EXPECT_EQ(lineOf(vm::test::kBank).debit, units(230));
    EXPECT_EQ(entry.totals().debit, units(230));
    EXPECT_EQ(entry.totals().credit, units(230));

    // A negative total reverses them: receivables debited, bank credited.
    entry.setPayment(rowOf("A1"), units(-300));
    EXPECT_EQ(entry.paymentTotal(), units(-200));
    EXPECT_EQ(lineOf(kReceivables).debit, units(200));
    EXPECT_EQ(lineOf(kReceivables).credit, Money());
    EXPECT_EQ(lineOf(vm::test::kBank).credit, units(200));
    EXPECT_EQ(lineOf(vm::test::kBank).debit, Money());

    // Paying in full takes the open amount, once.
    EXPECT_TRUE(entry.payInFull(rowOf("A1")));
    EXPECT_FALSE(entry.payInFull(rowOf("A1")));
    EXPECT_EQ(entry.paymentTotal(), units(500));
}

TEST_F(ReceiptEntryTest, DistributionLineRules) {
    entry.startNotFromClient();
    const int preset = entry.lineCount();
    const auto row = entry.addLine();
    ASSERT_TRUE(row);

    // Accounts come from the chart; a refusal changes nothing.
    EXPECT_EQ(entry.setLineAccount(*row, vm::test::kNotInChart).message, kMsgAccountInvalid);
    EXPECT_FALSE(entry.lines().back().line.account.has_value());
    EXPECT_TRUE(entry.setLineAccount(*row, vm::test::kOtherIncome).ok());
    EXPECT_EQ(entry.lines().back().line.description, "Other income");

    // A debit clears the credit and the reverse; the totals follow.
    entry.setLineCredit(*row, units(40));
    entry.setLineDebit(*row, units(25));
    EXPECT_EQ(entry.lines().back().line.credit, Money());
    EXPECT_EQ(entry.totals().debit, units(25));
    entry.setLineCredit(*row, units(40));
    EXPECT_EQ(entry.lines().back().line.debit, Money());
    EXPECT_EQ(entry.totals().debit, Money());
    EXPECT_EQ(entry.totals().credit, units(40));

    // Account 0 is refused while the line has an amount, taken without one.
    EXPECT_EQ(entry.setLineAccount(*row, 0).message, kMsgAccountInvalid);
    entry.setLineCredit(*row, Money());
    EXPECT_TRUE(entry.setLineAccount(*row, 0).ok());
    EXPECT_EQ(entry.lines().back().line.account, 0);

    entry.setLineDebit(*row, units(9));
    entry.deleteLine(*row);
    EXPECT_EQ(entry.lineCount(), preset);
    EXPECT_EQ(entry.totals().debit, Money());

    // Twenty lines at most: the 21st is refused.
    while (entry.lineCount() < ReceiptDocument::kMaxLines)
        ASSERT_TRUE(entry.addLine());
    EXPECT_FALSE(entry.addLine());
    EXPECT_EQ(entry.lineCount(), ReceiptDocument::kMaxLines);
}

TEST_F(ReceiptEntryTest, WorkTablesBelongToTheSessionAndAreReplacedAtEachStart) {
    co.ledger("C1", "A1", "1", units(10), kJan);
    entry.startClient(clientOf("C1"), "R");
    ReceiptEntry other(co.db(), co.accounts, 0);
    other.createWorkTables(*co.root);
    EXPECT_EQ(other.invoiceTable(), "car_temp0");
    EXPECT_TRUE(other.invoices().empty());
    EXPECT_EQ(entry.invoices().size(), 1u);

    entry.createWorkTables(*co.root);
    EXPECT_TRUE(entry.invoices().empty());
    EXPECT_EQ(entry.lineCount(), 0);
    EXPECT_EQ(co.count(entry.totalsTable()), 1);
}

} // namespace
