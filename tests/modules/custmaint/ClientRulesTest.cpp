#include "ClientCompany.h"

#include "common/core/MasterRecordRules.h"
#include "common/core/TableOpenError.h"
#include "modules/custmaint/core/ClientRules.h"
#include "modules/custmaint/core/ClientTables.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::custmaint;

namespace {

class ClientRulesTest : public ::testing::Test {
protected:
    ClientCompany co;
    std::unique_ptr<ClientTables> tables;
    std::unique_ptr<ClientRules> rules;

    void open() {
        tables = std::make_unique<ClientTables>(co.company(), co.dataRoot());
        rules = std::make_unique<ClientRules>(*tables);
    }
    void SetUp() override { open(); }

    Cursor& row() { return tables->cli(); }

    // A new client that passes every check.
    void startValidInsert(const std::string& code = "C200") {
        row().insert();
        rules->applyNewClientDefaults(row());
        row().set("Cli_code", code);
        ClientRules::applyNewCodeDefaults(row());
        row().set("Cli_salesrep", "S1");
        row().set("Cli_terr", "MTL");
        row().set("Cli_terms", 30);
        row().set("Cli_postal_code", "H2B 2B2");
    }

    ClientPostInputs inputs() {
        ClientPostInputs in;
        in.priceListPosition = 0;
        in.currencyPosition = 0;
        in.copies = 2;
        in.user = "ADMIN";
        return in;
    }

    int refusal(const ClientPostInputs& in) {
        auto r = rules->checkBeforePost(row(), in);
        return r ? r->message : 999;
    }
};

TEST_F(ClientRulesTest, ChecksBeforePostReportTheFirstFailureInOrder) {
    startValidInsert();
    // Fails salesman, territory, bill-to, postal code, accounts and e-mail
    // at once: each fix uncovers the next check.
    row().set("Cli_salesrep", "NOPE");
    row().set("Cli_terr", "ZZZ");
    row().set("Cli_charge_to", "NOBODY");
    row().set("Cli_postal_code", "  ");
    row().set("Cli_accnt2", 9999);
    row().set("Cli_email_invoice", true);
    auto in = inputs();

    auto r = rules->checkBeforePost(row(), in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (ClientRefusal{kMsgSalesmanNotFound, ClientField::Salesrep, ClientPage::Control}));
    row().set("Cli_salesrep", "S1");
    EXPECT_EQ(refusal(in), kMsgTerritoryNotFound);
    row().set("Cli_terr", "MTL");
    EXPECT_EQ(refusal(in), kMsgBillToNotFound);
    row().set("Cli_charge_to", "C100");
    r = rules->checkBeforePost(row(), in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (ClientRefusal{kMsgPostalCodeMissing, ClientField::PostalCode, ClientPage::General}));
    row().set("Cli_postal_code", "H2B 2B2");
    r = rules->checkBeforePost(row(), in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (ClientRefusal{kMsgAccountNotFound, ClientField::Account2, ClientPage::Control}));
    row().set("Cli_accnt2", 4000);
    r = rules->checkBeforePost(row(), in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (ClientRefusal{kMsgEmailMissing, ClientField::Email, ClientPage::General}));
    row().set("Cli_email", "a@b.ca");
    EXPECT_FALSE(rules->checkBeforePost(row(), in));
    row().post();

    Cursor check(co.company(), "cli", true);
    ASSERT_TRUE(check.findKey({Value("C200")}));
    EXPECT_EQ(check.integer("Cli_copies"), 2);
    EXPECT_EQ(check.str("Cli_user"), "ADMIN");
    EXPECT_FALSE(check.isNull("Cli_stamp"));
}

TEST_F(ClientRulesTest, TermsAreCheckedThenDecideTheDueDays) {
    startValidInsert();
    row().set("Cli_terms", 99);
    EXPECT_EQ(refusal(inputs()), kMsgTermsNotFound);
    row().set("Cli_terms", Value());
    EXPECT_EQ(refusal(inputs()), kMsgTermsNotFound) << "blank terms are terms 0, unknown here";
    EXPECT_EQ(rules->termsExit("abc", row()), kMsgTermsNotFound) << "non-numeric reads as 0";

    // Terms 0 that exist in the table still fail: a client needs terms.
    ClientCompany::add(co.dataRoot(), "arterms", {{"Arterms_code", 0}, {"Arterms_days", 0}});
    row().set("Cli_terms", 0);
    EXPECT_EQ(refusal(inputs()), kMsgTermsMissing);

    row().set("Cli_terms", 60);
    row().set("Cli_du_days", 10); // typed by hand
    EXPECT_FALSE(rules->checkBeforePost(row(), inputs()));
    EXPECT_EQ(row().integer("Cli_du_days"), 45);

    row().set("Cli_du_days", 1);
    EXPECT_EQ(rules->termsExit(" 30 ", row()), kNoMessage);
    EXPECT_EQ(row().integer("Cli_du_days"), 30);
}

TEST_F(ClientRulesTest, SalesAccountsZeroOrNegativeMeanNoneAndOthersMustExist) {
    EXPECT_EQ(rules->accountExit("0"), kNoMessage);
    EXPECT_EQ(rules->accountExit("-5"), kNoMessage);
    EXPECT_EQ(rules->accountExit("4000"), kNoMessage);
    EXPECT_EQ(rules->accountExit("4001"), kMsgAccountNotFound);
    EXPECT_EQ(rules->accountExit(""), kMsgAccountNotFound);

    startValidInsert();
    row().set("Cli_accnt1", -7);
    row().set("Cli_accnt2", 0);
    row().set("Cli_accnt3", 4001);
    auto r = rules->checkBeforePost(row(), inputs());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, ClientField::Account3);
    row().set("Cli_accnt3", Value()); // blank reads as 0 at post
    EXPECT_FALSE(rules->checkBeforePost(row(), inputs()));
}

TEST_F(ClientRulesTest, CodeMustBeGivenNotStartWithABlankAndNotBeTaken) {
    startValidInsert(" C300");
    auto r = rules->checkBeforePost(row(), inputs());
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (ClientRefusal{kNoMessage, ClientField::Code, ClientPage::General}));
    row().set("Cli_code", Value());
    r = rules->checkBeforePost(row(), inputs());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kNoMessage);

    row().set("Cli_code", "C100");
    EXPECT_EQ(refusal(inputs()), kMsgCodeExists);
    row().cancel();

    // An existing client edited while its code field is still open: the
    // code was typed over and never looked up.
    ASSERT_TRUE(row().findKey({Value("C100")}));
    row().edit();
    auto in = inputs();
    in.codeFieldOpen = true;
    EXPECT_EQ(refusal(in), kMsgCodeNotFound);
    in.codeFieldOpen = false;
    EXPECT_FALSE(rules->checkBeforePost(row(), in));
    row().cancel();
}

TEST_F(ClientRulesTest, PostalCodeIsRequiredOnlyWithCanadianTerminology) {
    startValidInsert();
    row().set("Cli_postal_code", Value());
    auto in = inputs();
    EXPECT_EQ(refusal(in), kMsgPostalCodeMissing);
    in.postalCodeRequired = false;
    EXPECT_FALSE(rules->checkBeforePost(row(), in));
}

TEST(PostalCodeTest, RequiredOnlyWhenIntlIsN) {
    EXPECT_TRUE(core::postalCodeRequired("N"));
    EXPECT_TRUE(core::postalCodeRequired("n"));
    for (const char* other : {"Y", "y", "", "X"})
        EXPECT_FALSE(core::postalCodeRequired(other)) << other;
}

TEST_F(ClientRulesTest, CanadianPostalCodesHaveTheirFormOthersAreFreeText) {
    startValidInsert();
    row().set("Cli_country", "Canada");
    row().set("Cli_postal_code", "h2b2b2");
    ASSERT_FALSE(rules->checkBeforePost(row(), inputs()));
    EXPECT_EQ(row().str("Cli_postal_code"), "H2B 2B2") << "stored in its form";
    for (const char* bad : {"H2B 2B", "22B 2B2", "H2B-2B2"}) {
        row().set("Cli_postal_code", bad);
        EXPECT_EQ(refusal(inputs()), kMsgPostalCodeForm) << bad;
    }
    row().set("Cli_country", "USA");
    row().set("Cli_postal_code", "90210-1234");
    EXPECT_FALSE(rules->checkBeforePost(row(), inputs()));
    row().cancel();
}

TEST_F(ClientRulesTest, EitherEmailBoxNeedsAnAddress) {
    startValidInsert();
    for (const char* box : {"Cli_email_statement", "Cli_email_invoice"}) {
        row().set("Cli_email_statement", false);
        row().set("Cli_email_invoice", false);
        row().set(box, true);
        EXPECT_EQ(refusal(inputs()), kMsgEmailMissing) << box;
    }
    row().set("Cli_email", "ap@client.ca");
    EXPECT_FALSE(rules->checkBeforePost(row(), inputs()));
}

TEST_F(ClientRulesTest, NewClientDefaults) {
    co.setControl({{"Ctrl_ArCopies", 3}});
    open();
    row().insert();
    rules->applyNewClientDefaults(row());
    EXPECT_EQ(row().integer("Cli_copies"), 3);
    EXPECT_EQ(row().date("Cli_date_created"), Date::today());
    EXPECT_EQ(row().integer("Cli_price_list"), 1);
    EXPECT_EQ(row().str("Cli_language"), "1");
    for (const char* f : {"Cli_terms", "Cli_du_days", "Cli_credit_limit", "Cli_currency", "Cli_accnt1",
                          "Cli_accnt3", "Cli_discount", "Cli_current_bal", "Cli_sales_ytd"})
        EXPECT_FALSE(row().isNull(f)) << f;
    EXPECT_EQ(row().money("Cli_current_bal"), Money());
    for (const char* f :
         {"Cli_email_statement", "Cli_email_invoice", "Cli_po_req", "Cli_credit_hold", "Cli_block_orders"}) {
        EXPECT_FALSE(row().isNull(f)) << f;
        EXPECT_FALSE(row().boolean(f)) << f;
    }
    EXPECT_EQ(row().str("Cli_ship_via"), "");
    EXPECT_FALSE(row().boolean("Cli_tax_fed"));
    ClientRules::applyNewCodeDefaults(row());
    EXPECT_TRUE(row().boolean("Cli_tax_fed"));
    EXPECT_TRUE(row().boolean("Cli_tax_pro"));
    row().cancel();
}

TEST_F(ClientRulesTest, ListsSkipEmptyNamesAndStorePositions) {
    co.setControl({{"Ctrl_pl_name1", "Retail"},
                   {"Ctrl_pl_name3", "Wholesale"},
                   {"Ctrl_curr2_name", "US dollar"},
                   {"Ctrl_curr2_sign", "US"}});
    ClientCompany::add(co.company(), "ivctrl", {{"Ivctrl_pl_name7", "Export"}, {"Ivctrl_pl_name8", "   "}});
    open();
    const ClientControl& c = tables->control();
    EXPECT_EQ(c.priceListChoices(), (std::vector<std::string>{"Retail", "Wholesale", "Export"}));
    EXPECT_EQ(c.currencyChoices(), (std::vector<std::string>{"US dollar"}));
    EXPECT_EQ(c.currencySign(0, "$"), "$");
    EXPECT_EQ(c.currencySign(2, "$"), "US");

    startValidInsert();
    auto in = inputs();
    in.priceListPosition = 2; // "Export", price list 7 in the tables
    in.currencyPosition = 1;
    in.shipVia = "Purolator";
    in.invoiceFormat = "Standard";
    ASSERT_FALSE(rules->checkBeforePost(row(), in));
    EXPECT_EQ(row().integer("Cli_price_list"), 3);
    EXPECT_EQ(row().integer("Cli_currency"), 1);
    EXPECT_EQ(row().str("Cli_ship_via"), "Purolator");
    EXPECT_EQ(row().str("Cli_format1"), "Standard");

    // Without any choice the stored numbers stay.
    in.priceListPosition = -1;
    in.currencyPosition = -1;
    ASSERT_FALSE(rules->checkBeforePost(row(), in));
    EXPECT_EQ(row().integer("Cli_price_list"), 3);
    row().cancel();
}

TEST_F(ClientRulesTest, FieldExitChecks) {
    EXPECT_EQ(rules->salesrepExit(""), kMsgSalesmanEmpty);
    EXPECT_EQ(rules->salesrepExit("S9"), kMsgSalesmanNotFound);
    EXPECT_EQ(rules->salesrepExit("S1"), kNoMessage);
    EXPECT_EQ(rules->territoryExit(""), kNoMessage);
    EXPECT_EQ(rules->territoryExit("QC"), kMsgTerritoryNotFound);
    EXPECT_EQ(rules->billToExit(""), kNoMessage);
    EXPECT_EQ(rules->billToExit("C100"), kNoMessage);
    EXPECT_EQ(rules->billToExit("C1"), kMsgBillToNotFound);
    EXPECT_TRUE(ClientRules::languageAccepted("2"));
    EXPECT_FALSE(ClientRules::languageAccepted("3"));
    EXPECT_FALSE(ClientRules::languageAccepted(""));
}

TEST_F(ClientRulesTest, DeletionIsRefusedWithLedgerRowsOpenOrInHistory) {
    ClientCompany::add(co.company(), "cli", {{"Cli_code", "C101"}});
    ClientCompany::add(co.company(), "cli", {{"Cli_code", "C102"}});
    ClientCompany::add(co.company(), "car",
                       {{"Car_client", "C100"}, {"Car_invoice", "I1"}, {"Car_amount", Money::fromUnits(10)}});
    ClientCompany::add(co.company(), "carh", {{"Car_client", "C101"}, {"Car_invoice", "I0"}});
    EXPECT_TRUE(rules->hasLedgerRows("C100"));
    EXPECT_TRUE(rules->hasLedgerRows("C101")) << "history alone keeps the client";
    EXPECT_FALSE(rules->hasLedgerRows("C102"));
    EXPECT_FALSE(rules->hasLedgerRows("C10")) << "a prefix of a code is another client";
}

TEST(ClientTablesTest, AMissingTableIsNamed) {
    ClientCompany co;
    co.company().dropTable("glm");
    try {
        ClientTables t(co.company(), co.dataRoot());
        FAIL() << "opened without glm";
    } catch (const core::TableOpenError& e) {
        EXPECT_EQ(e.table(), "glm");
    }
}

} // namespace
