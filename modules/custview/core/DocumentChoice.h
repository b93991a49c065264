#pragma once
#include "engine/Date.h"

#include <cstdint>
#include <string>

namespace vm {
class Database;
}

namespace vm::custview {

// The ledger row the user drills down from.
struct LedgerRow {
    std::string client, invoice, reference, type;
    Date date;
};

// The document behind a ledger row.
struct DocumentChoice {
    enum class Kind { None, ArchivedInvoice, CurrentInvoice, SalesEntry, CashReceipt };
    Kind kind = Kind::None;
    // Invoices: the header's key (document kind = the row's type, invoice).
    std::string doc, invoice;
    // Sales entry record (arori) or cash-receipt header (crorihdr): its Seq.
    std::int64_t seq = 0;
};

// Chooses the document to show. A payment (type "2") shows its cash-receipt
// entry. Any other row: the archived invoice of its type and number, else the
// current one, else the sales entry record of the invoice, client and date
// whose debit/credit reference is the row's reference, else a cash-receipt
// entry of the row's reference, client and date. None when there is no
// document (message kMsgNoDocument). Reads only.
DocumentChoice chooseDocument(Database& company, const LedgerRow& row);

} // namespace vm::custview
