#include "modules/cashrcpt/core/ReceiptChecks.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptDocument.h"

#include <string_view>

namespace vm::cashrcpt {
namespace {

bool blank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

CheckResult ReceiptChecks::check(Database& companyDb, const ControlAccounts& accounts,
                                 const ReceiptDocument& doc, bool memoConfirmed) {
    if (blank(doc.reference)) return {kMsgReferenceMissing, ReceiptField::Reference};
    // The date is checked when the user leaves its field, but a click on a
    // button skips that check; a receipt is never posted without a date.
    if (doc.date.isNull()) return {kMsgDateInvalid, ReceiptField::Date};
    if (!doc.notFromClient) {
        Cursor cli(companyDb, "cli", true);
        if (doc.client.empty() || !cli.findKey({Value(doc.client)}))
            return {kMsgClientNotFound, ReceiptField::ClientCode};
    }
    if (doc.notFromClient && blank(doc.memo) && !memoConfirmed) return {kMsgMemoMissing, ReceiptField::Memo};
    if (static_cast<int>(doc.lines.size()) > ReceiptDocument::kMaxLines)
        return {kMsgTooManyLines, ReceiptField::Distribution, ReceiptDocument::kMaxLines};

    Cursor glm(companyDb, "glm", true);
    Money debits, credits;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const DistributionLine& line = doc.lines[i];
        const int at = static_cast<int>(i);
        if (line.account && !glm.findKey({Value(*line.account)}))
            return {kMsgAccountInvalid, ReceiptField::Distribution, at};
        // Any amount, negative ones too: an amount without an account would
        // count in the balance check yet never reach the journal.
        if (line.hasAmount() && line.accountOrZero() == 0)
            return {kMsgAccountInvalid, ReceiptField::Distribution, at};
        debits += line.debit;
        credits += line.credit;
    }
    if (debits != credits) return {kMsgNotBalanced, ReceiptField::Distribution};
    if (doc.notFromClient)
        for (std::size_t i = 0; i < doc.lines.size(); ++i)
            if (doc.lines[i].hasAmount() && accounts.isReceivablesAccount(doc.lines[i].accountOrZero()))
                return {kMsgReceivablesNotFromClient, ReceiptField::Distribution, static_cast<int>(i)};
    return {};
}

} // namespace vm::cashrcpt
