#include "modules/cashdisb/core/DisbursementChecks.h"

#include "common/journal/ControlAccounts.h"
#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/cashdisb/core/DisbursementDocument.h"

#include <string_view>

namespace vm::cashdisb {
namespace {

bool blank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

CheckResult DisbursementChecks::check(Database& companyDb, const journal::ControlAccounts& accounts,
                                      const DisbursementDocument& doc, bool memoConfirmed) {
    if (blank(doc.reference)) return {kMsgReferenceMissing, DisbursementField::Reference};
    if (doc.notToSupplier && blank(doc.memo) && !memoConfirmed)
        return {kMsgMemoQuestion, DisbursementField::Memo};
    // The date is checked on leaving its field, but a click on a button skips
    // that check; a disbursement is never posted without a date.
    if (doc.date.isNull()) return {kMsgDateInvalid, DisbursementField::Date};
    if (!doc.notToSupplier) {
        Cursor sup(companyDb, "sup", true);
        if (doc.supplier.empty() || !sup.findKey({Value(doc.supplier)}))
            return {kMsgSupplierNotFound, DisbursementField::Supplier};
    }
    if (static_cast<int>(doc.lines.size()) > DisbursementDocument::kMaxLines)
        return {kMsgTooManyLines, DisbursementField::Distribution, DisbursementDocument::kMaxLines};

    Cursor glm(companyDb, "glm", true);
    Money debits, credits, paid;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const DistributionLine& line = doc.lines[i];
        const int at = static_cast<int>(i);
        if (line.account && !glm.findKey({Value(*line.account)}))
            return {kMsgAccountInvalid, DisbursementField::Distribution, at};
        // Any amount, negative ones too: an amount without an account would
        // count in the balance check yet never reach the journal.
        if (line.hasAmount() && line.accountOrZero() == 0)
            return {kMsgAccountInvalid, DisbursementField::Distribution, at};
        if (!journal::fitsSum(debits, line.debit) || !journal::fitsSum(credits, line.credit))
            return {kMsgAmountTooLarge, DisbursementField::Distribution, at};
        debits += line.debit;
        credits += line.credit;
    }
    for (const InvoicePayment& p : doc.invoices) {
        if (!journal::fitsSum(paid, p.payment)) return {kMsgAmountTooLarge, DisbursementField::None};
        paid += p.payment;
    }
    if (debits != credits) return {kMsgNotBalanced, DisbursementField::Distribution};
    if (doc.notToSupplier)
        for (std::size_t i = 0; i < doc.lines.size(); ++i)
            if (doc.lines[i].hasAmount() && accounts.isPayablesAccount(doc.lines[i].accountOrZero()))
                return {kMsgPayablesNotToSupplier, DisbursementField::Distribution, static_cast<int>(i)};
    return {};
}

} // namespace vm::cashdisb
