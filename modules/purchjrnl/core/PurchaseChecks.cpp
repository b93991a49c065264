#include "modules/purchjrnl/core/PurchaseChecks.h"

#include "common/journal/ControlAccounts.h"
#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchaseRules.h"

#include <string_view>

namespace vm::purchjrnl {
namespace {

bool blank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

CheckResult PurchaseChecks::check(Database& companyDb, const journal::ControlAccounts& accounts,
                                  const PurchaseDocument& doc, bool memoConfirmed) {
    if (blank(doc.invoice)) return {kMsgInvoiceMissing, PurchaseField::Invoice};
    if (doc.type != PurchaseType::Purchase && blank(doc.reference))
        return {kMsgReferenceMissing, PurchaseField::Reference};
    if (doc.directCash && blank(doc.memo) && !memoConfirmed) return {kMsgMemoQuestion, PurchaseField::Memo};
    // Both dates are checked on leaving their fields, but a click on a button
    // skips that check; a document is never posted without them.
    if (doc.date.isNull()) return {kMsgDateInvalid, PurchaseField::Date};
    if (doc.dueDate.isNull()) return {kMsgDateInvalid, PurchaseField::DueDate};

    if (!doc.supplier.empty() || !doc.directCash) {
        Cursor sup(companyDb, "sup", true);
        if (doc.supplier.empty() || !sup.findKey({Value(doc.supplier)}))
            return {kMsgSupplierNotFound, PurchaseField::Supplier};
        if (!doc.directCash) {
            const int invoice = invoiceNumberCheck(companyDb, doc.supplier, doc.invoice, doc.type);
            if (invoice != kMsgNone) return {invoice, PurchaseField::Invoice};
        }
    }

    Money debits, credits;
    for (const PurchaseLine& line : doc.lines) {
        if (!journal::fitsSum(debits, line.debit) || !journal::fitsSum(credits, line.credit))
            return {kMsgAmountTooLarge, PurchaseField::LineAmount};
        debits += line.debit;
        credits += line.credit;
    }
    if (debits != credits) return {kMsgNotBalanced, PurchaseField::LineAmount};

    Cursor glm(companyDb, "glm", true);
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const PurchaseLine& line = doc.lines[i];
        if (!line.hasAmount()) continue;
        const int at = static_cast<int>(i);
        if (doc.directCash && accounts.isPayablesAccount(line.account))
            return {kMsgDirectCashPayables, PurchaseField::LineAccount, at};
        if (line.account == 0 || !glm.findKey({Value(line.account)}))
            return {kMsgAccountNotFound, PurchaseField::LineAccount, at};
    }
    return {};
}

} // namespace vm::purchjrnl
