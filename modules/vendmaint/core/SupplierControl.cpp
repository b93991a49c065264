#include "modules/vendmaint/core/SupplierControl.h"

#include "common/core/MasterRecordRules.h"
#include "engine/Cursor.h"

namespace vm::vendmaint {

SupplierControl SupplierControl::read(Cursor& ctrl, Cursor& glm) {
    SupplierControl c;
    if (!ctrl.hasRow()) return c;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        c.currencyNames[static_cast<std::size_t>(i)] = ctrl.str("Ctrl_curr" + n + "_name");
        c.currencySigns[static_cast<std::size_t>(i)] = ctrl.str("Ctrl_curr" + n + "_sign");
    }
    for (int i = 1; i <= 5; ++i) {
        const auto account = ctrl.integer("Ctrl_bank_accnt" + std::to_string(i));
        if (account != 0 && glm.findKey({Value(account)}))
            c.banks.push_back({static_cast<int>(account), glm.str("Glm_Description")});
    }
    glm.suspend();
    c.orderCopies = static_cast<int>(ctrl.integer("Ctrl_ApCopies"));
    return c;
}

std::vector<std::string> SupplierControl::currencyChoices() const {
    return core::currencyChoices(currencyNames);
}

std::string SupplierControl::currencySign(int currency, const std::string& homeSymbol) const {
    return core::currencySign(currencySigns, currency, homeSymbol);
}

int SupplierControl::bankPosition(int account) const {
    for (std::size_t i = 0; i < banks.size(); ++i)
        if (banks[i].account == account) return static_cast<int>(i);
    return -1;
}

} // namespace vm::vendmaint
