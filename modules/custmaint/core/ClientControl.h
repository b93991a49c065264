#pragma once
#include <array>
#include <string>
#include <vector>

namespace vm {
class Cursor;
}

namespace vm::custmaint {

// The company settings the client window needs, read once when it opens:
// the names of the price lists and of the four foreign currencies, their
// signs, and the default number of invoice copies.
struct ClientControl {
    std::array<std::string, 4> currencyNames;  // Ctrl_curr1_name .. Ctrl_curr4_name
    std::array<std::string, 4> currencySigns;  // Ctrl_curr1_sign .. Ctrl_curr4_sign
    std::array<std::string, 9> priceListNames; // Ctrl_pl_name1..5, then Ivctrl_pl_name6..9
    int invoiceCopies = 0;                     // Ctrl_ArCopies

    // From the rows the cursors stand on (a cursor without a row gives
    // blanks).
    static ClientControl read(Cursor& ctrl, Cursor& ivctrl);

    // The price-list drop-down: the names that are not blank, in list order.
    // The stored Cli_price_list is the position in this list plus 1.
    std::vector<std::string> priceListChoices() const;
    // The named currencies after the default one, in order; the stored
    // Cli_currency is the drop-down position (0 = the company's currency).
    std::vector<std::string> currencyChoices() const;
    // The sign shown with a client's amounts: the workstation's symbol for
    // currency 0 (and for a number out of range), else that currency's sign.
    std::string currencySign(int currency, const std::string& homeSymbol) const;
};

} // namespace vm::custmaint
