#pragma once
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "schema/Schema.h"
#include "tests/fixture/TempCompany.h"

#include <string>

// A data root with company 1 set up for cash receipts: a chart with a bank
// and a receivables account in the company's currency and in currency 1
// (US), two receipt template accounts (the home bank and other income), and
// helpers for clients and their ledger rows.
namespace vm::test {

constexpr std::int32_t kBank = 1000, kBankUs = 1010, kReceivables = 1200, kReceivablesUs = 1210,
                       kDiscounts = 4100, kOtherIncome = 4900, kNotInChart = 7777;

class ReceiptCompany : public TempCompany {
public:
    explicit ReceiptCompany(Backend backend = Backend::Sqlite) : TempCompany(backend), root(&dataRoot()) {
        account(kBank, "Bank - Canadian", 0);
        account(kBankUs, "Bank - US", 1);
        account(kReceivables, "Accounts receivable", 0);
        account(kReceivablesUs, "Accounts receivable US", 1);
        account(kDiscounts, "Discounts allowed", 0);
        account(kOtherIncome, "Other income", 0);
        Cursor ctrl(db(), "ctrl");
        ctrl.first();
        ctrl.edit();
        ctrl.set("Ctrl_ar_period", 4);
        ctrl.set("Ctrl_ar_accnt", kReceivables);
        ctrl.set("Ctrl_ar_curr2", kReceivablesUs);
        ctrl.set("Ctrl_bank_accnt1", kBank);
        ctrl.set("Ctrl_bank_accnt2", kBankUs);
        ctrl.set("Ctrl_cr_accnt1", kBank);
        ctrl.set("Ctrl_cr_accnt2", kDiscounts);
        ctrl.set("Ctrl_cr_accnt3", kNotInChart); // skipped: not in the chart
        ctrl.set("Ctrl_curr1_name", "US dollar");
        ctrl.set("Ctrl_curr1_sign", "US$");
        ctrl.post();
        accounts = cashrcpt::ControlAccounts::load(db());
    }
    void account(std::int32_t number, const std::string& name, int currency) {
        Cursor glm(db(), "glm");
        glm.insert();
        schema::fillBlank(glm);
        glm.set("Glm_account", number);
        glm.set("Glm_Description", name);
        glm.set("Glm_summarize", "N");
        glm.set("Glm_currency", currency);
        glm.post();
    }

    void client(const std::string& code, const std::string& name, int currency = 0, int creditLimit = 0,
                bool creditHold = false) {
        Cursor c(db(), "cli");
        c.insert();
        schema::fillBlank(c);
        c.set("Cli_code", code);
        c.set("Cli_name", name);
        c.set("Cli_email", code + "@example.com");
        c.set("Cli_currency", currency);
        c.set("Cli_credit_limit", creditLimit);
        c.set("Cli_credit_hold", creditHold);
        c.post();
    }

    // A ledger row, kept in the client's balance as the invoicing side does.
    void ledger(const std::string& client, const std::string& invoice, const char* type, Money amount,
                Date date, const std::string& ref = "", const std::string& salesman = "") {
        Cursor car(db(), "car");
        car.insert();
        schema::fillBlank(car);
        car.set("Car_client", client);
        car.set("Car_invoice", invoice);
        car.set("Car_ref", ref);
        car.set("Car_date", date);
        car.set("Car_du_date", date.addDays(30));
        car.set("Car_type", type);
        car.set("Car_amount", amount);
        car.set("Car_slsm", salesman);
        car.post();
        Cursor cli(db(), "cli");
        cli.findKey({Value(client)});
        cli.edit();
        cli.set("Cli_current_bal", cli.money("Cli_current_bal") + amount);
        cli.post();
    }

    std::int64_t count(const std::string& table) {
        Cursor c(db(), table, true);
        return c.recordCount();
    }

    Database* root = nullptr;
    cashrcpt::ControlAccounts accounts;
};

inline Money units(std::int64_t n) {
    return Money::fromUnits(n);
}

} // namespace vm::test
