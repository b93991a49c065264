#include "../custmaint/ClientCompany.h"

#include "modules/vendmaint/core/SupplierRules.h"
#include "modules/vendmaint/core/SupplierTables.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::vendmaint;

namespace {

class SupplierRulesTest : public ::testing::Test {
protected:
    ClientCompany co;
    std::unique_ptr<SupplierTables> tables;
    std::unique_ptr<SupplierRules> rules;

    void SetUp() override {
        ClientCompany::add(co.company(), "glm",
                           {{"Glm_account", 1010}, {"Glm_Description", "Bank A"}, {"Glm_summarize", "N"}});
        ClientCompany::add(co.company(), "glm",
                           {{"Glm_account", 1020}, {"Glm_Description", "Bank B"}, {"Glm_summarize", "N"}});
        ClientCompany::add(co.company(), "sup", {{"Sup_code", "S100"}, {"Sup_name", "Paper Co"}});
        co.setControl({{"Ctrl_bank_accnt1", 1010},
                       {"Ctrl_bank_accnt2", 0},
                       {"Ctrl_bank_accnt3", 1999},
                       {"Ctrl_bank_accnt4", 1020},
                       {"Ctrl_ApCopies", 2},
                       {"Ctrl_curr1_name", "US dollar"},
                       {"Ctrl_curr1_sign", "US"}});
        open();
    }
    void open() {
        tables = std::make_unique<SupplierTables>(co.company());
        rules = std::make_unique<SupplierRules>(*tables);
    }
    Cursor& row() { return tables->sup(); }

    void startInsert(const std::string& code = "S200") {
        row().insert();
        rules->applyNewSupplierDefaults(row());
        row().set("Sup_code", code);
    }
    std::optional<SupplierRefusal> check(SupplierPostInputs in = {}) {
        return rules->checkBeforePost(row(), in);
    }
};

TEST_F(SupplierRulesTest, ChecksBeforePostInTheirOrder) {
    ASSERT_TRUE(row().findKey({Value("S100")}));
    row().edit();
    row().set("Sup_accnt2", 5000);
    row().set("Sup_accnt3", 6000);
    row().set("Sup_email_po", true);
    SupplierPostInputs in;
    in.codeFieldOpen = true;
    auto r = check(in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (SupplierRefusal{kMsgAccountNotFound, SupplierField::Account2, SupplierPage::Control}));
    row().set("Sup_accnt2", -1);
    r = check(in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kMsgCodeNotFound) << "the open code field is checked before account 3";
    in.codeFieldOpen = false;
    r = check(in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, SupplierField::Account3);
    row().set("Sup_accnt3", 4000);
    r = check(in);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (SupplierRefusal{kMsgEmailMissing, SupplierField::Email, SupplierPage::General}));
    row().set("Sup_email", "orders@paper.ca");
    EXPECT_FALSE(check(in));
    row().cancel();

    EXPECT_EQ(rules->accountExit(""), kMsgAccountNotFound);
    EXPECT_EQ(rules->accountExit("0"), kNoMessage);
    EXPECT_EQ(rules->accountExit("1010"), kNoMessage);
    EXPECT_EQ(rules->accountExit("1011"), kMsgAccountNotFound);
}

TEST_F(SupplierRulesTest, NewSupplierDefaultsAndChoicesWritten) {
    startInsert();
    for (const char* f : {"Sup_du_days", "Sup_credit_limit", "Sup_pmt_discount", "Sup_current_bal",
                          "Sup_purch_ytd", "Sup_currency", "Sup_bank_account", "Sup_accnt1", "Sup_copies"})
        EXPECT_FALSE(row().isNull(f)) << f;
    EXPECT_EQ(row().date("Sup_date_created"), Date::today());
    EXPECT_FALSE(row().isNull("Sup_po_req"));
    EXPECT_FALSE(row().boolean("Sup_email_po"));

    const SupplierControl& c = tables->control();
    ASSERT_EQ(c.banks.size(), 2u) << "unset and unknown bank accounts are left out";
    EXPECT_EQ(c.banks[1], (BankChoice{1020, "Bank B"}));
    EXPECT_EQ(c.bankPosition(1020), 1);
    EXPECT_EQ(c.bankPosition(1999), -1);
    EXPECT_EQ(c.orderCopies, 2);
    EXPECT_EQ(c.currencySign(1, "$"), "US");

    SupplierPostInputs in;
    in.bankPosition = 1;
    in.currencyPosition = 1;
    in.copies = 4;
    in.user = "ADMIN";
    ASSERT_FALSE(check(in));
    EXPECT_EQ(row().integer("Sup_bank_account"), 1020) << "the account number, not the position";
    EXPECT_EQ(row().integer("Sup_currency"), 1);
    EXPECT_EQ(row().integer("Sup_copies"), 4);
    row().post();
    in.bankPosition = -1;
    row().edit();
    ASSERT_FALSE(check(in));
    EXPECT_EQ(row().integer("Sup_bank_account"), 1020) << "no choice keeps the stored account";
    row().cancel();
}

TEST_F(SupplierRulesTest, CanadianPostalCodeIsCheckedForItsForm) {
    startInsert();
    row().set("Sup_country", "canada");
    row().set("Sup_postal_code", "K1A0B1");
    ASSERT_FALSE(check());
    EXPECT_EQ(row().str("Sup_postal_code"), "K1A 0B1");
    row().set("Sup_postal_code", "K1A");
    auto r = check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kMsgPostalCodeForm);
    EXPECT_EQ(r->field, SupplierField::PostalCode);
    row().cancel();
}

TEST_F(SupplierRulesTest, CodeMustBeGivenAndFree) {
    startInsert("");
    auto r = check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kMsgCodeMissing);
    row().set("Sup_code", "S100");
    r = check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kMsgCodeExists);
    row().cancel();
}

TEST_F(SupplierRulesTest, DeletionIsRefusedWithPayablesOpenOrInHistory) {
    ClientCompany::add(co.company(), "sup", {{"Sup_code", "S101"}});
    ClientCompany::add(co.company(), "sup", {{"Sup_code", "S102"}});
    ClientCompany::add(co.company(), "cap", {{"Cap_supplier", "S100"}, {"Cap_invoice", "A1"}});
    ClientCompany::add(co.company(), "caph", {{"Cap_supplier", "S101"}, {"Cap_invoice", "A0"}});
    EXPECT_TRUE(rules->hasPayables("S100"));
    EXPECT_TRUE(rules->hasPayables("S101"));
    EXPECT_FALSE(rules->hasPayables("S102"));
}

} // namespace
