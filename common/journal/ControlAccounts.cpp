#include "common/journal/ControlAccounts.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

#include <algorithm>

namespace vm::journal {
namespace {

template <std::size_t N> bool holds(const std::array<std::int32_t, N>& accounts, std::int32_t account) {
    return account != 0 && std::find(accounts.begin(), accounts.end(), account) != accounts.end();
}

} // namespace

ControlAccounts ControlAccounts::load(Database& companyDb) {
    Cursor ctrl(companyDb, "ctrl", true);
    if (!ctrl.first())
        throw EngineError(errc::kRecordNotFound, "The control record of the company is missing (ctrl)");
    auto account = [&](const std::string& field) { return static_cast<std::int32_t>(ctrl.integer(field)); };
    ControlAccounts a;
    a.arPeriod = static_cast<int>(ctrl.integer("Ctrl_ar_period"));
    a.apPeriod = static_cast<int>(ctrl.integer("Ctrl_ap_period"));
    a.receivables[0] = account("Ctrl_ar_accnt");
    a.payables[0] = account("Ctrl_ap_accnt");
    for (int n = 1; n < kCurrencies; ++n) {
        const std::string i = std::to_string(n + 1);
        a.receivables[n] = account("Ctrl_ar_curr" + i);
        a.payables[n] = account("Ctrl_ap_curr" + i);
        a.signs[n] = ctrl.str("Ctrl_curr" + std::to_string(n) + "_sign");
    }
    for (int n = 0; n < kCurrencies; ++n)
        a.banks[n] = account("Ctrl_bank_accnt" + std::to_string(n + 1));
    for (int n = 0; n < kTemplateLines; ++n) {
        const std::string i = std::to_string(n + 1);
        a.receiptAccounts[n] = account("Ctrl_cr_accnt" + i);
        a.purchaseAccounts[n] = account("Ctrl_ap_purch_accnt" + i);
        a.disbursementAccounts[n] = account("Ctrl_ap_disb_accnt" + i);
    }
    return a;
}

int ControlAccounts::normalisedCurrency(std::int64_t currency) {
    return currency >= 0 && currency < kCurrencies ? static_cast<int>(currency) : 0;
}

bool ControlAccounts::isReceivablesAccount(std::int32_t account) const {
    return holds(receivables, account);
}

bool ControlAccounts::isPayablesAccount(std::int32_t account) const {
    return holds(payables, account);
}

bool ControlAccounts::isBankAccount(std::int32_t account) const {
    return holds(banks, account);
}

} // namespace vm::journal
