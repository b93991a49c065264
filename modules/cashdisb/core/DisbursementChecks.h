#pragma once
#include "modules/cashdisb/core/DisbursementMessage.h"

namespace vm {
class Database;
}
namespace vm::journal {
class ControlAccounts;
}

namespace vm::cashdisb {

struct DisbursementDocument;

// The checks a disbursement passes before it is posted, in the order the
// user meets them; the first that fails is returned and nothing is written.
//
//   3  no reference
//   8  a disbursement not to a supplier without a memo; a question: the
//      caller asks it and, when the user goes on anyway, checks again with
//      memoConfirmed
//  12  no transaction date
//   7  the supplier is not on file (disbursements to a supplier)
//  15  more than 20 distribution rows
//   4  a row whose account is filled in (0 included) but not in the chart,
//      or a row with an amount and no account
//  14  the totals do not fit the money type
//   5  debits do not equal credits
//   6  a disbursement not to a supplier with an amount on a payables account
//
// Reads glm and sup only.
class DisbursementChecks {
public:
    static CheckResult check(Database& companyDb, const journal::ControlAccounts& accounts,
                             const DisbursementDocument& doc, bool memoConfirmed = false);
};

} // namespace vm::cashdisb
