#pragma once
#include "modules/vendmaint/core/SupplierRefusal.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm {
class Cursor;
}

namespace vm::vendmaint {

class SupplierTables;

// What the window holds outside the row's own fields when a supplier is
// written.
struct SupplierPostInputs {
    // The row is in edit state while the code field is still open: a code
    // was typed over an existing supplier instead of using the edit button.
    bool codeFieldOpen = false;
    int bankPosition = -1;     // position in the bank-account drop-down, -1 none
    int currencyPosition = -1; // position in the currency drop-down, -1 none
    int copies = 1;            // the copies box
    std::string user;          // who writes the row
};

// The rules of a supplier row: look-ups, the purchase-account check, the
// defaults of a new supplier, the ordered checks before a row is written and
// the deletion guard. Messages come back as numbers of the message list.
class SupplierRules {
public:
    explicit SupplierRules(SupplierTables& tables) : t_(tables) {}

    bool supplierExists(const std::string& code);
    // 0 and below are accepted; a positive account must be in the chart.
    bool accountAccepted(std::int64_t account);
    // Leaving a purchase-account field: empty text or an account that is not
    // accepted gives message 0.
    int accountExit(const std::string& text);

    // Defaults of a supplier just inserted (the row in insert state): every
    // numeric field 0, created now, no purchase order required or e-mailed,
    // no purchase accounts.
    void applyNewSupplierDefaults(Cursor& row);

    // The checks before a row is written, in their fixed order; the first
    // that fails is returned and the row must not be posted. When all pass,
    // the window's choices are copied into the row.
    std::optional<SupplierRefusal> checkBeforePost(Cursor& row, const SupplierPostInputs& in);

    // The deletion guard: true when the supplier has rows in the payables
    // ledger or, failing that, in its history.
    bool hasPayables(const std::string& code);

    static std::int64_t numberOf(const std::string& text);

private:
    SupplierTables& t_;
};

} // namespace vm::vendmaint
