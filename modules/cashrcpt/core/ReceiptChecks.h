#pragma once
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptMessage.h"

namespace vm {
class Database;
}

namespace vm::cashrcpt {

struct ReceiptDocument;

// The checks a receipt passes before it is posted, in the order the user
// meets them; the first that fails is returned and nothing is written.
//
//   3  no reference
//  11  no transaction date
//   5  the client is not on file (client receipts)
//   8  a receipt not from a client without a memo; a question: the caller
//      asks it and, when the user goes on anyway, checks again with
//      memoConfirmed
//  12  more than 20 distribution lines
//   4  a line whose account is filled in (0 included) but not in the chart,
//      or a line with an amount and no account
//   6  debits do not equal credits
//   7  a receipt not from a client with an amount on a receivables account
//
// Reads glm and cli only.
class ReceiptChecks {
public:
    static CheckResult check(Database& companyDb, const ControlAccounts& accounts, const ReceiptDocument& doc,
                             bool memoConfirmed = false);
};

} // namespace vm::cashrcpt
