#include "modules/custview/core/ClientSearch.h"
#include "modules/custview/core/ClientStatement.h"
#include "modules/custview/core/DocumentChoice.h"
#include "modules/custview/core/InquiryMessage.h"

#include "tests/fixture/TempCompany.h"

using namespace vm;
using namespace vm::custview;
using vm::test::TempCompanyTest;

namespace {

constexpr int kName = 1;
constexpr int kDateCreated = 22;

class ClientInquiryTest : public TempCompanyTest {
protected:
    // The codes the search lists, in order; "refused:N" or "unchanged" when
    // it lists nothing.
    std::string search(int field, SearchOperator op, const std::string& parameter) {
        ClientSearch s = buildClientSearch(company.db(), field, op, parameter, nullptr);
        if (s.outcome == ClientSearch::Outcome::Refused) return "refused:" + std::to_string(s.message);
        if (s.outcome == ClientSearch::Outcome::Unchanged) return "unchanged";
        std::string codes;
        Query q(company.db(), s.sql, s.params);
        while (q.next())
            codes += (codes.empty() ? "" : ",") + q.value("Cli_code").asString();
        return codes;
    }
    int clientCount() {
        Query q(company.db(), "SELECT COUNT(*) FROM cli");
        q.next();
        return static_cast<int>(q.value(0).asInt());
    }
};

TEST_F(ClientInquiryTest, SearchFieldsAreTheFirstClientFieldsInOrder) {
    const TableDef def = company.db().tableDef("cli");
    ASSERT_EQ(searchFields().size(), static_cast<std::size_t>(kSearchFieldCount));
    for (int i = 0; i < kSearchFieldCount; ++i)
        EXPECT_EQ(searchFields()[static_cast<std::size_t>(i)], def.fields[static_cast<std::size_t>(i)].name);
}

TEST_F(ClientInquiryTest, ContainingMatchesAnywhereAndLiterally) {
    company.addClient("A1", "Boulangerie Martin");
    company.addClient("A2", "Martinez Auto");
    company.addClient("A3", "Garage Roy");
    company.addClient("A4", "Rabais 50% Inc");
    company.addClient("A5", "Rabais 500 Inc");
    EXPECT_EQ(search(kName, SearchOperator::Containing, "artin"), "A1,A2");
    // A '%' or '_' typed by the user is a character, not a wildcard.
    EXPECT_EQ(search(kName, SearchOperator::Containing, "50%"), "A4");
    EXPECT_EQ(search(kName, SearchOperator::Containing, "5_0"), "");
    EXPECT_EQ(search(kName, SearchOperator::Containing, ""), "A1,A2,A3,A4,A5");
}

TEST_F(ClientInquiryTest, QuotesAreTextNotSql) {
    company.addClient("Q1", "L'Épicerie d'Antoine");
    company.addClient("Q2", "Other");
    EXPECT_EQ(search(kName, SearchOperator::Equal, "L'Épicerie d'Antoine"), "Q1");
    EXPECT_EQ(search(kName, SearchOperator::Equal, "x' OR '1'='1"), "");
    EXPECT_EQ(search(kName, SearchOperator::Containing, "x' OR '1'='1"), "");
    EXPECT_EQ(search(kName, SearchOperator::Equal, "x'; DELETE FROM cli; --"), "");
    EXPECT_EQ(clientCount(), 2);
}

TEST_F(ClientInquiryTest, DateComparisonsCompareDates) {
    company.addClient("D1", "Early March", {{"Cli_date_created", Date::fromYmd(2001, 3, 2)}});
    company.addClient("D2", "Mid March", {{"Cli_date_created", Date::fromYmd(2001, 3, 15)}});
    company.addClient("D3", "Late 2000", {{"Cli_date_created", Date::fromYmd(2000, 12, 31)}});
    company.addClient("D4", "April", {{"Cli_date_created", Date::fromYmd(2001, 4, 1)}});
    EXPECT_EQ(search(kDateCreated, SearchOperator::Less, "2001-03-15"), "D1,D3");
    EXPECT_EQ(search(kDateCreated, SearchOperator::Greater, "2001-03-15"), "D4");
    EXPECT_EQ(search(kDateCreated, SearchOperator::Equal, "2001-03-15"), "D2");
    EXPECT_EQ(search(kDateCreated, SearchOperator::Containing, "2001"), "unchanged");
}

TEST_F(ClientInquiryTest, BadParameterIsRefusedNotReplaced) {
    EXPECT_EQ(search(kDateCreated, SearchOperator::Less, "2001-02-30"),
              "refused:" + std::to_string(kMsgDateInvalid));
    EXPECT_EQ(search(29, SearchOperator::Greater, "lots"), "refused:" + std::to_string(kMsgNumberInvalid));
}

TEST_F(ClientInquiryTest, StatementCarriesTheRunningBalance) {
    company.addClient("C1", "Client");
    company.addCar("C1", "INV1", "1", Date::fromYmd(2026, 11, 2), Money::fromUnits(500));
    company.addCar("C1", "INV1", "2", Date::fromYmd(2026, 11, 20), Money::fromUnits(-200),
                   {{"Car_ref", "CHQ9"}});
    company.addCar("C2", "INV1", "1", Date::fromYmd(2026, 11, 2), Money::fromUnits(999));
    EXPECT_EQ(fillStatement(company.db(), 7, "C1", false), 2);
    Query q(company.db(), statementSql(company.db(), 7, false), {Value("C1")});
    std::vector<std::int64_t> balances;
    while (q.next())
        balances.push_back(q.money("Cartmp_balance").raw());
    EXPECT_EQ(balances,
              (std::vector<std::int64_t>{Money::fromUnits(500).raw(), Money::fromUnits(300).raw()}));
}

TEST_F(ClientInquiryTest, HistoryOnlyWhenKept) {
    company.addCar("C1", "INV1", "1", Date::fromYmd(2026, 11, 2), Money::fromUnits(500));
    company.addRow("carh", {{"Car_client", "C1"},
                            {"Car_invoice", "OLD"},
                            {"Car_type", "1"},
                            {"Car_amount", Money::fromUnits(70)}});
    company.setCtrl({{"Ctrl_ar_histo", false}});
    EXPECT_EQ(statementTable(company.db(), true), "car");
    EXPECT_EQ(fillStatement(company.db(), 7, "C1", true), 1);
    company.setCtrl({{"Ctrl_ar_histo", true}});
    EXPECT_EQ(statementTable(company.db(), true), "carh");
}

TEST_F(ClientInquiryTest, DrillDownOrder) {
    const Date d = Date::fromYmd(2026, 11, 2);
    const LedgerRow row{"C1", "INV1", "REF1", "1", d};
    using K = DocumentChoice::Kind;
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::None);
    company.addRow("crorihdr", {{"Reference", "REF1"}, {"Client", "C1"}, {"Date", d}});
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::CashReceipt);
    company.addRow("arori",
                   {{"Reference", "INV1"}, {"Client", "C1"}, {"Date", d}, {"Dr_cr_reference", "OTHER"}});
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::CashReceipt);
    company.addRow("arori",
                   {{"Reference", "INV1"}, {"Client", "C1"}, {"Date", d}, {"Dr_cr_reference", "REF1"}});
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::SalesEntry);
    company.addRow("fahdr", {{"Fahdr_doc", "1"}, {"Fahdr_invoice", "INV1"}});
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::CurrentInvoice);
    company.addRow("fahdra", {{"Fahdra_doc", "1"}, {"Fahdra_invoice", "INV1"}});
    EXPECT_EQ(chooseDocument(company.db(), row).kind, K::ArchivedInvoice);
    // A payment shows its receipt, whatever invoice it pays.
    EXPECT_EQ(chooseDocument(company.db(), {"C1", "INV1", "REF1", "2", d}).kind, K::CashReceipt);
    EXPECT_EQ(chooseDocument(company.db(), {"C1", "INV1", "NONE", "2", d}).kind, K::None);
}

TEST_F(ClientInquiryTest, BucketsAgeByTheInvoicesFirstDate) {
    company.setCtrl(
        {{"Ctrl_ar_days1", 30}, {"Ctrl_ar_days2", 60}, {"Ctrl_ar_days3", 90}, {"Ctrl_ar_days4", 120}});
    const Date today = Date::fromYmd(2026, 12, 8);
    company.addCar("C1", "INV1", "1", today.addDays(-45), Money::fromUnits(500));
    company.addCar("C1", "INV1", "2", today.addDays(-5), Money::fromUnits(-200));
    company.addCar("C1", "INV2", "1", today.addDays(-200), Money::fromUnits(80));
    const auto b = clientBuckets(company.db(), "C1", today);
    EXPECT_EQ(b[1], Money::fromUnits(300));
    EXPECT_EQ(b[4], Money::fromUnits(80));
    EXPECT_TRUE(b[0].isZero());
}

} // namespace
