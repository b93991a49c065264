#pragma once
#include "common/journal/ControlAccounts.h"
#include "engine/Cursor.h"
#include "tests/fixture/TempCompany.h"
#include "tools/BooksCheck.h"

#include <gtest/gtest.h>

// Company 1 set up for the payables journals: a chart with a bank and a
// payables account in the company's currency and in currency 1 (US), two
// purchase accounts, one disbursement account, and suppliers S1, S2 (terms
// 30 days) and U1 (US, terms 915, its own US bank).
namespace vm::test {

constexpr std::int32_t kBank = 1000, kBankUs = 1010, kPayables = 2100, kPayablesUs = 2110, kSupplies = 5100,
                       kFreight = 5200, kBankCharges = 5800, kNotInChart = 7777;
constexpr int kPeriod = 5;

inline Money units(std::int64_t n) {
    return Money::fromUnits(n);
}

class PayablesCompany : public TempCompany {
public:
    explicit PayablesCompany(Backend backend = Backend::Sqlite) : TempCompany(backend) {
        addAccount(kBank, "Bank - Canadian");
        addAccount(kBankUs, "Bank - US", {{"Glm_currency", 1}});
        addAccount(kPayables, "Accounts payable");
        addAccount(kPayablesUs, "Accounts payable US", {{"Glm_currency", 1}});
        addAccount(kSupplies, "Office supplies");
        addAccount(kFreight, "Freight");
        addAccount(kBankCharges, "Bank charges");
        setCtrl({{"Ctrl_ap_period", kPeriod},
                 {"Ctrl_ap_accnt", kPayables},
                 {"Ctrl_ap_curr2", kPayablesUs},
                 {"Ctrl_bank_accnt1", kBank},
                 {"Ctrl_bank_accnt2", kBankUs},
                 {"Ctrl_ap_purch_accnt1", kSupplies},
                 {"Ctrl_ap_purch_accnt2", kFreight},
                 {"Ctrl_ap_disb_accnt1", kBank},
                 {"Ctrl_ap_disb_accnt2", kBankCharges},
                 {"Ctrl_ap_disb_accnt3", kNotInChart},
                 {"Ctrl_curr1_sign", "US"}});
        addSupplier("S1", "Supplier One", {{"Sup_du_days", 30}, {"Sup_email", "s1@example.com"}});
        addSupplier("S2", "Supplier Two", {{"Sup_du_days", 30}});
        addSupplier("U1", "US Supplier",
                    {{"Sup_currency", 1}, {"Sup_du_days", 915}, {"Sup_bank_account", kBankUs}});
        accounts = journal::ControlAccounts::load(db());
    }

    // A ledger row, kept in the supplier's balance as the journals do.
    void ledger(const std::string& supplier, const std::string& invoice, const char* type, Money amount,
                Date date) {
        addCap(supplier, invoice, type, date, amount, {{"Cap_du_date", date.addDays(30)}});
        Cursor sup(db(), "sup");
        sup.findKey({Value(supplier)});
        sup.edit();
        sup.set("Sup_current_bal", sup.money("Sup_current_bal") + amount);
        sup.post();
    }
    Money supplierMoney(const std::string& code, const char* field) {
        Cursor sup(db(), "sup", true);
        sup.findKey({Value(code)});
        return sup.money(field);
    }
    std::int64_t count(const std::string& table) {
        Cursor c(db(), table, true);
        return c.recordCount();
    }
    void expectBooksBalance() {
        const auto differences = admin::checkBooks(db());
        EXPECT_TRUE(differences.empty()) << differences.front();
    }

    journal::ControlAccounts accounts;
};

} // namespace vm::test
