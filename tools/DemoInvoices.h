#pragma once
#include "tools/DemoCompany.h"

namespace vm {
class Database;
}

namespace vm::admin {

// The documents behind the demo's receivables, written after its ledger,
// clients and journal: the invoicing side's invoices of every type "1" row
// (current ones in fahdr/fadet, those before September archived in
// fahdra/fadeta, some entered by hand as sales entry records in arori), a
// few credit notes with their records, the stored receipt (crorihdr,
// croridet) and bank-reconciliation row of every payment, and last year's
// paid invoices in the history carh with their archived invoices and
// receipts. The company keeps history and names its payment methods. Client
// balances stay equal to their ledger. Runs in the caller's transaction.
void writeDemoDocuments(Database& db, const DemoOptions& options);

} // namespace vm::admin
