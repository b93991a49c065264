#include "modules/cashrcpt/core/ControlAccounts.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

#include <algorithm>

namespace vm::cashrcpt {

ControlAccounts ControlAccounts::load(Database& companyDb) {
    Cursor ctrl(companyDb, "ctrl", true);
    if (!ctrl.first())
        throw EngineError(errc::kRecordNotFound, "The control record of the company is missing (ctrl)");
    ControlAccounts a;
    a.arPeriod = static_cast<int>(ctrl.integer("Ctrl_ar_period"));
    a.receivables[0] = static_cast<std::int32_t>(ctrl.integer("Ctrl_ar_accnt"));
    for (int n = 1; n < kCurrencies; ++n) {
        const std::string i = std::to_string(n + 1);
        a.receivables[n] = static_cast<std::int32_t>(ctrl.integer("Ctrl_ar_curr" + i));
        a.signs[n] = ctrl.str("Ctrl_curr" + std::to_string(n) + "_sign");
    }
    for (int n = 0; n < kCurrencies; ++n)
        a.banks[n] = static_cast<std::int32_t>(ctrl.integer("Ctrl_bank_accnt" + std::to_string(n + 1)));
    for (int n = 0; n < kTemplateLines; ++n)
        a.templateAccounts[n] =
            static_cast<std::int32_t>(ctrl.integer("Ctrl_cr_accnt" + std::to_string(n + 1)));
    return a;
}

int ControlAccounts::normalisedCurrency(std::int64_t currency) {
    return currency >= 0 && currency < kCurrencies ? static_cast<int>(currency) : 0;
}

bool ControlAccounts::isReceivablesAccount(std::int32_t account) const {
    return account != 0 && std::find(receivables.begin(), receivables.end(), account) != receivables.end();
}

bool ControlAccounts::isBankAccount(std::int32_t account) const {
    return account != 0 && std::find(banks.begin(), banks.end(), account) != banks.end();
}

} // namespace vm::cashrcpt
