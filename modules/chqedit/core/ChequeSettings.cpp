#include "modules/chqedit/core/ChequeSettings.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::chqedit {

ChequeSettings ChequeSettings::read(Database& companyDb) {
    ChequeSettings s;
    std::array<std::int32_t, kCurrencies> bankAccounts{};
    {
        Cursor ctrl(companyDb, "ctrl", true);
        if (ctrl.first()) {
            auto account = [&](const std::string& field) {
                return ctrl.isNull(field) ? 0 : static_cast<std::int32_t>(ctrl.integer(field));
            };
            for (int i = 0; i < kCurrencies; ++i) {
                const auto n = static_cast<std::size_t>(i);
                bankAccounts[n] = account("Ctrl_bank_accnt" + std::to_string(i + 1));
                s.payables[n] =
                    account(i == 0 ? std::string("Ctrl_ap_accnt") : "Ctrl_ap_curr" + std::to_string(i + 1));
                if (i > 0) s.signs[n] = ctrl.str("Ctrl_curr" + std::to_string(i) + "_sign");
            }
            for (std::size_t i = 0; i < s.slotDefaults.size(); ++i)
                s.slotDefaults[i] = account("Ctrl_ap_disb_accnt" + std::to_string(i + 2));
        }
    }
    Cursor glm(companyDb, "glm", true);
    for (const std::int32_t account : bankAccounts) {
        if (account == 0) continue;
        s.reserved.insert(account);
        if (glm.findKey({Value(account)})) s.banks.push_back({account, glm.str("Glm_description")});
    }
    for (const std::int32_t account : s.payables)
        if (account != 0) s.reserved.insert(account);
    return s;
}

int ChequeSettings::bankPosition(std::int32_t account) const {
    for (std::size_t i = 0; i < banks.size(); ++i)
        if (banks[i].account == account) return static_cast<int>(i);
    return -1;
}

std::int32_t ChequeSettings::payablesAccount(int currency) const {
    return currency >= 0 && currency < kCurrencies ? payables[static_cast<std::size_t>(currency)]
                                                   : payables[0];
}

std::string ChequeSettings::sign(int currency, const std::string& homeSign) const {
    if (currency <= 0 || currency >= kCurrencies) return homeSign;
    const std::string& s = signs[static_cast<std::size_t>(currency)];
    return s.empty() ? homeSign : s;
}

} // namespace vm::chqedit
