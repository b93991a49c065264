#pragma once
#include "modules/custmaint/core/ClientRefusal.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm {
class Cursor;
}

namespace vm::custmaint {

class ClientTables;

// What the window holds outside the row's own fields when a client is
// written: the state of the code field, the choices of the drop-downs and
// the boxes that are copied into the row at post.
struct ClientPostInputs {
    // The row is in edit state while the code field is still open: a code
    // was typed over an existing client and never looked up.
    bool codeFieldOpen = false;
    std::string shipVia;            // the "Exp. via" box
    int priceListPosition = -1;     // position in the price-list drop-down, -1 none
    int currencyPosition = -1;      // position in the currency drop-down, -1 none
    bool postalCodeRequired = true; // the workstation's intl setting is "N"
    int copies = 1;                 // the copies box
    std::string invoiceFormat;      // the invoice-format box
    std::string user;               // who writes the row
};

// The rules that keep a client row consistent with the tables it points to:
// look-ups, the checks of the fields on exit, the defaults of a new client,
// the ordered checks before a row is written and the deletion guard.
// Messages come back as numbers of the module's message list.
class ClientRules {
public:
    explicit ClientRules(ClientTables& tables) : t_(tables) {}

    // Existence by full key, through cursors that never move the edited row.
    bool clientExists(const std::string& code);
    bool salesmanExists(const std::string& code);
    bool territoryExists(const std::string& code);
    // Arterms_days of a terms code; nothing when the code is unknown.
    std::optional<int> termsDays(std::int64_t terms);
    // Account 0 or below means "none" and is accepted; a positive account
    // must be in the chart.
    bool accountAccepted(std::int64_t account);

    // Checks of a field's text when the user leaves it; kNoMessage when it
    // passes. Number fields read non-numeric text as 0.
    int salesrepExit(const std::string& text);
    int territoryExit(const std::string& text);
    // On success the terms' day count is written into Cli_du_days of `row`
    // when the row is being edited or inserted.
    int termsExit(const std::string& text, Cursor& row);
    static bool languageAccepted(const std::string& text);
    int billToExit(const std::string& text);
    int accountExit(const std::string& text);

    // Defaults of a client just inserted (the row in insert state), before
    // its code is known: no e-mail sending, no sales accounts, the company's
    // number of invoice copies, every numeric field 0, created now, price
    // list 1, no shipping note, nothing on hold, product descriptions in
    // English.
    void applyNewClientDefaults(Cursor& row);
    // Once a new code has been typed: both sales taxes are charged.
    static void applyNewCodeDefaults(Cursor& row);

    // The checks before a row is written, in their fixed order; the first
    // that fails is returned and the row must not be posted. On the way the
    // terms' day count and the window's values are copied into the row.
    std::optional<ClientRefusal> checkBeforePost(Cursor& row, const ClientPostInputs& in);

    // The deletion guard: true when the client has rows in the receivables
    // ledger or, failing that, in its history.
    bool hasLedgerRows(const std::string& code);

    // The text of a number field as the rules read it: blank or not a
    // number gives 0.
    static std::int64_t numberOf(const std::string& text);

private:
    ClientTables& t_;
};

} // namespace vm::custmaint
