#pragma once
#include "engine/Date.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"

#include <cstdint>
#include <string>

namespace vm {
class Database;
}

namespace vm::purchjrnl {

// The due date a supplier's terms give from a base date. Terms of 900 or
// more name a day of the following month (915: the 15th of next month; a
// day the month does not have is its last day, a day 0 its first);
// otherwise they are a number of days after the base date.
Date dueDateFromTerms(Date base, std::int64_t terms);

// The invoice-number rule of each document type against the supplier's
// ledger (an exact supplier and invoice with a type "1" row): a purchase
// must not repeat one of the supplier's invoices (kMsgInvoiceExists); a
// debit or credit note must name one (kMsgInvoiceNotFound); an adjustment
// is not checked. kMsgNone when the number is acceptable. Reads cap only.
int invoiceNumberCheck(Database& companyDb, const std::string& supplier, const std::string& invoice,
                       PurchaseType type);

} // namespace vm::purchjrnl
