#pragma once
#include "modules/purchjrnl/core/PurchaseMessage.h"

namespace vm {
class Database;
}
namespace vm::journal {
class ControlAccounts;
}

namespace vm::purchjrnl {

struct PurchaseDocument;

// The checks a purchase-journal document passes before it is posted, in
// the order the user meets them; the first that fails is returned and
// nothing is written.
//
//   2  no invoice number
//   5  a debit note, credit note or adjustment without its reference
//   6  a direct/cash purchase without a memo; a question: the caller asks
//      it and, when the user goes on anyway, checks again with memoConfirmed
//  17  no transaction date or due date
//   7  the supplier is not on file (required unless direct/cash)
//   0  a purchase repeating one of the supplier's invoice numbers
//   1  a debit or credit note naming none of them
//   4  debits do not equal credits
//  16  the totals do not fit the money type
//   3  a direct/cash purchase with an amount on a payables account
//   8  an amount on a line whose account is not in the chart
//
// Reads sup, cap and glm only.
class PurchaseChecks {
public:
    static CheckResult check(Database& companyDb, const journal::ControlAccounts& accounts,
                             const PurchaseDocument& doc, bool memoConfirmed = false);
};

} // namespace vm::purchjrnl
