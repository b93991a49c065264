#pragma once
#include <array>
#include <string>
#include <vector>

namespace vm {
class Cursor;
}

namespace vm::vendmaint {

// One entry of the bank-account drop-down: a company bank account that is
// in the chart, shown by its description.
struct BankChoice {
    int account = 0;
    std::string description;
    bool operator==(const BankChoice&) const = default;
};

// The company settings the supplier window needs, read once when it opens.
struct SupplierControl {
    std::array<std::string, 4> currencyNames; // Ctrl_curr1_name .. Ctrl_curr4_name
    std::array<std::string, 4> currencySigns; // Ctrl_curr1_sign .. Ctrl_curr4_sign
    std::vector<BankChoice> banks;            // Ctrl_bank_accnt1..5 that are set and in the chart
    int orderCopies = 0;                      // Ctrl_ApCopies

    // From the control row the cursor stands on; bank accounts are looked up
    // in the chart through `glm` (keyed by account).
    static SupplierControl read(Cursor& ctrl, Cursor& glm);

    // The named currencies after the default one; Sup_currency stores the
    // drop-down position (0 = the company's currency).
    std::vector<std::string> currencyChoices() const;
    // The workstation's symbol for currency 0 (and out of range), else the
    // currency's sign.
    std::string currencySign(int currency, const std::string& homeSymbol) const;
    // Position of an account in the bank list; -1 when it is not there.
    int bankPosition(int account) const;
};

} // namespace vm::vendmaint
