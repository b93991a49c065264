#include "tools/BooksCheck.h"

#include "tests/fixture/TempCompany.h"

using namespace vm;
using vm::test::TempCompanyTest;

namespace {

bool mentions(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST_F(TempCompanyTest, EmptyBooksBalance) {
    EXPECT_TRUE(admin::checkBooks(company.db()).empty());
}

TEST_F(TempCompanyTest, BalancesAreComparedWithTheirLedgers) {
    const Date d = Date::fromYmd(2026, 2, 3);
    company.addClient("A", "Balanced", {{"Cli_current_bal", Money::fromCents(7000)}});
    company.addCar("A", "1", "1", d, Money::fromCents(10000));
    company.addCar("A", "1", "2", d, Money::fromCents(-3000));
    company.addClient("B", "Balance but no rows", {{"Cli_current_bal", Money::fromCents(1)}});
    company.addClient("C", "No balance, no rows");
    company.addCar("ZZ", "9", "1", d, Money::fromCents(500)); // a client that is not on file
    company.addSupplier("S", "Owes too little", {{"Sup_current_bal", Money::fromCents(100)}});
    company.addCap("S", "X1", "1", d, Money::fromCents(150));

    const auto diffs = admin::checkBooks(company.db());
    EXPECT_EQ(diffs.size(), 3u);
    EXPECT_FALSE(mentions(diffs, "Client A"));
    EXPECT_FALSE(mentions(diffs, "Client C"));
    EXPECT_TRUE(mentions(diffs, "Client B: balance 0.0100, ledger 0.0000"));
    EXPECT_TRUE(mentions(diffs, "Client ZZ is not on file"));
    EXPECT_TRUE(mentions(diffs, "Supplier S: balance 1.0000, ledger 1.5000 (difference -0.5000)"));
}

TEST_F(TempCompanyTest, JournalHeadersAreComparedWithTheirLines) {
    const Date d = Date::fromYmd(2026, 4, 30);
    auto header = [&](const char* ref, Money debit, Money credit) {
        company.addRow("tjlh", {{"Tjlh_period", 4},
                                {"Tjlh_journal", 3},
                                {"Tjlh_reference", ref},
                                {"Tjlh_date", d},
                                {"Tjlh_tot_debit", debit},
                                {"Tjlh_tot_credit", credit}});
    };
    auto line = [&](const char* ref, int account, Money debit, Money credit) {
        company.addRow("tjld", {{"Tjld_period", 4},
                                {"Tjld_journal", 3},
                                {"Tjld_reference", ref},
                                {"Tjld_date", d},
                                {"Tjld_account", account},
                                {"Tjld_debit", debit},
                                {"Tjld_credit", credit}});
    };
    const Money m = Money::fromUnits(50);
    header("OK", m, m);
    line("OK", 5000, m, Money());
    line("OK", 2100, Money(), m);
    header("SHORT", m, m);
    line("SHORT", 5000, m, Money());
    header("LOPSIDED", m + m, m);
    line("LOPSIDED", 5000, m + m, Money());
    line("LOPSIDED", 2100, Money(), m);
    line("ORPHAN", 5000, m, Money());

    const auto diffs = admin::checkBooks(company.db());
    ASSERT_EQ(diffs.size(), 3u);
    EXPECT_FALSE(mentions(diffs, "\"OK\""));
    EXPECT_TRUE(mentions(
        diffs, "\"SHORT\", date 2026-04-30: header totals 50.0000 / 50.0000, lines 50.0000 / 0.0000"));
    EXPECT_TRUE(mentions(diffs, "debits 100.0000 do not equal credits 50.0000"));
    EXPECT_TRUE(mentions(diffs, "Journal lines without a header: period 4, journal 3, reference \"ORPHAN\""));
}

// What no window would have written is named; what the windows offer passes.
TEST_F(TempCompanyTest, CodedFieldsOutsideTheirListsAreNamed) {
    const Date d = Date::fromYmd(2026, 5, 4);
    company.addAccount(1010, "Bank");
    company.setCtrl({{"Ctrl_bank_accnt1", 1010}, {"Ctrl_curr1_name", "US Dollar"}});
    company.addRow(company.dataRoot(), "arterms", {{"Arterms_code", 1}, {"Arterms_days", 30}});
    company.addRow("slsm", {{"Slsm_code", "JT"}});
    const vm::test::Fields valid = {{"Cli_language", "2"}, {"Cli_currency", 1}, {"Cli_price_list", 1},
                                    {"Cli_copies", 1},     {"Cli_terms", 1},    {"Cli_salesrep", "JT"}};
    company.addClient("A", "As the window writes", valid);
    vm::test::Fields wrong = valid;
    wrong[0].second = "F";
    wrong[1].second = 2;
    company.addClient("B", "Outside the lists", wrong);
    company.addSupplier("S", "Bank 1", {{"Sup_bank_account", 1}, {"Sup_copies", 1}});
    company.addSupplier("T", "Bank 1010",
                        {{"Sup_bank_account", 1010}, {"Sup_copies", 1}, {"Sup_language", "1"}});
    company.addCap("S", "X1", "1", d, Money::fromUnits(5));
    company.addCap("S", "X1", "1", d, Money::fromUnits(7));
    company.addCap("T", "X1", "1", d, Money::fromUnits(9));
    company.addCar("A", "9", "9", d, Money::fromUnits(1));

    const auto diffs = admin::checkCodes(company.db(), company.dataRoot());
    EXPECT_EQ(diffs.size(), 5u);
    EXPECT_FALSE(mentions(diffs, "Client A"));
    EXPECT_FALSE(mentions(diffs, "Supplier T"));
    EXPECT_TRUE(mentions(diffs, "Client B: product-description language \"F\" is not 1 or 2"));
    EXPECT_TRUE(mentions(diffs, "Client B: currency 2 is not between 0 and 1"));
    EXPECT_TRUE(mentions(diffs, "Supplier S: bank account 1 is not one of the company's bank accounts"));
    EXPECT_TRUE(mentions(diffs, "Supplier S: invoice \"X1\" entered 2 times"));
    EXPECT_TRUE(mentions(diffs, "Receivables ledger: 1 rows of unknown type \"9\""));
}
