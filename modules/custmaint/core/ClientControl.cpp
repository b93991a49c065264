#include "modules/custmaint/core/ClientControl.h"

#include "common/core/MasterRecordRules.h"
#include "engine/Cursor.h"

namespace vm::custmaint {

namespace {

std::string text(Cursor& c, const std::string& field) {
    return c.hasRow() && c.hasField(field) ? c.str(field) : std::string();
}

} // namespace

ClientControl ClientControl::read(Cursor& ctrl, Cursor& ivctrl) {
    ClientControl c;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        c.currencyNames[static_cast<std::size_t>(i)] = text(ctrl, "Ctrl_curr" + n + "_name");
        c.currencySigns[static_cast<std::size_t>(i)] = text(ctrl, "Ctrl_curr" + n + "_sign");
    }
    for (int i = 1; i <= 5; ++i)
        c.priceListNames[static_cast<std::size_t>(i - 1)] = text(ctrl, "Ctrl_pl_name" + std::to_string(i));
    for (int i = 6; i <= 9; ++i)
        c.priceListNames[static_cast<std::size_t>(i - 1)] =
            text(ivctrl, "Ivctrl_pl_name" + std::to_string(i));
    c.invoiceCopies = ctrl.hasRow() ? static_cast<int>(ctrl.integer("Ctrl_ArCopies")) : 0;
    return c;
}

std::vector<std::string> ClientControl::priceListChoices() const {
    std::vector<std::string> out;
    for (const auto& name : priceListNames)
        if (!core::blankText(name)) out.push_back(name);
    return out;
}

std::vector<std::string> ClientControl::currencyChoices() const {
    return core::currencyChoices(currencyNames);
}

std::string ClientControl::currencySign(int currency, const std::string& homeSymbol) const {
    return core::currencySign(currencySigns, currency, homeSymbol);
}

} // namespace vm::custmaint
