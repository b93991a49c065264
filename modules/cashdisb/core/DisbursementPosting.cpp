#include "modules/cashdisb/core/DisbursementPosting.h"

#include "common/journal/ControlAccounts.h"
#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/cashdisb/core/DisbursementDocument.h"
#include "schema/Schema.h"

#include <memory>

namespace vm::cashdisb {
namespace {

constexpr int kConcilDisbursement = 2;

} // namespace

DisbursementPosting::DisbursementPosting(Database& companyDb, const journal::ControlAccounts& accounts)
    : db_(companyDb), accounts_(accounts) {}

int DisbursementPosting::journalNumber(Database& companyDb, const journal::ControlAccounts& accounts,
                                       const DisbursementDocument& doc, std::int64_t supplierCurrency) {
    if (!doc.notToSupplier) return journal::journalOfCurrency(kJournal, supplierCurrency);
    for (const DistributionLine& line : doc.lines) {
        if (!line.hasAmount() || !accounts.isBankAccount(line.accountOrZero())) continue;
        Cursor glm(companyDb, "glm", true);
        if (!glm.findKey({Value(line.accountOrZero())})) return kJournal;
        return journal::journalOfCurrency(kJournal, glm.integer("Glm_currency"));
    }
    return kJournal;
}

DisbursementResult DisbursementPosting::postOnce(const DisbursementDocument& doc, int period) {
    const bool toSupplier = !doc.notToSupplier;
    const DateTime now = DateTime::now();
    auto stage = [this](Stage s) {
        if (hook_) hook_(s);
    };

    Transaction tx(db_, /*immediate=*/true);

    // The supplier's row is taken first, so that waiting for another session
    // happens before anything is written.
    std::unique_ptr<Cursor> sup;
    std::string supplierName;
    std::int64_t currency = 0;
    if (toSupplier) {
        sup = std::make_unique<Cursor>(db_, "sup");
        if (!sup->findKey({Value(doc.supplier)}))
            throw EngineError(errc::kRecordNotFound, "Supplier " + doc.supplier + " is not on file (sup)");
        sup->edit();
        supplierName = sup->str("Sup_name");
        currency = sup->integer("Sup_currency");
    }

    DisbursementResult result;
    result.journal = journalNumber(db_, accounts_, doc, currency);

    Cursor hdr(db_, "cdorihdr");
    hdr.insert();
    schema::fillBlank(hdr);
    hdr.set("Reference", doc.reference);
    hdr.set("Supplier", toSupplier ? doc.supplier : std::string());
    hdr.set("Date", doc.date);
    hdr.set("Not_to_sup", doc.notToSupplier);
    hdr.set("Comments", doc.memo);
    hdr.set("Stamp", now);
    hdr.set("User", user_);
    for (std::size_t i = 0; i < doc.lines.size() && i < DisbursementDocument::kMaxLines; ++i) {
        const std::string k = std::to_string(i + 1);
        hdr.set("Account" + k, doc.lines[i].accountOrZero());
        hdr.set("Debit" + k, doc.lines[i].debit);
        hdr.set("Credit" + k, doc.lines[i].credit);
    }
    hdr.post();
    result.headerSeq = hdr.integer("Seq");
    stage(Stage::Header);

    const std::string headerMemo = toSupplier ? journal::partyMemo(supplierName, doc.memo) : doc.memo;
    const journal::JournalKey key{period, result.journal, doc.reference, doc.date};
    Money apDebit, apCredit;
    journal::JournalWriter journalWriter(db_);
    journalWriter.start(key, headerMemo, user_, now);
    for (const DistributionLine& line : doc.lines) {
        const std::int32_t account = line.accountOrZero();
        if (account == 0 || !line.hasAmount()) continue;
        journalWriter.addLine(account, line.description, line.debit, line.credit);
        if (accounts_.isBankAccount(account))
            journal::addBankReconciliation(
                db_, {account, kConcilDisbursement, doc.reference, toSupplier ? doc.supplier : std::string(),
                      toSupplier ? supplierName : doc.memo, doc.date, line.debit - line.credit});
        if (accounts_.isPayablesAccount(account)) {
            apDebit = journal::addChecked(apDebit, line.debit, "the payables lines");
            apCredit = journal::addChecked(apCredit, line.credit, "the payables lines");
        }
    }
    journalWriter.finish();
    stage(Stage::Journal);

    if (toSupplier) {
        Cursor cap(db_, "cap");
        auto ledgerRow = [&](const std::string& invoice, Date dueDate, const char* type, Money amount) {
            cap.insert();
            schema::fillBlank(cap);
            cap.set("Cap_supplier", doc.supplier);
            cap.set("Cap_invoice", invoice);
            cap.set("Cap_ref", doc.reference);
            cap.set("Cap_date", doc.date);
            cap.set("Cap_type", type);
            cap.set("Cap_du_date", dueDate);
            cap.set("Cap_amount", amount);
            cap.set("Cap_memo", doc.memo);
            cap.set("Cap_user", user_);
            cap.set("Cap_stamp", now);
            cap.post();
        };

        Money written; // the sum of the ledger rows, kept equal to the balance change
        Cursor det(db_, "cdoridet");
        for (const InvoicePayment& p : doc.invoices) {
            if (p.payment.isZero()) continue;
            ledgerRow(p.invoice, p.dueDate, "2", -p.payment);
            written = journal::addChecked(written, -p.payment, "the payments");
            if (p.payment > Money()) {
                det.insert();
                schema::fillBlank(det);
                det.set("Reference", doc.reference);
                det.set("Supplier", doc.supplier);
                det.set("Date", doc.date);
                det.set("Header_seq", result.headerSeq);
                det.set("Invoice", p.invoice);
                det.set("Invoice_date", p.invoiceDate);
                det.set("Invoice_due_date", p.dueDate);
                det.set("Invoice_amount", p.openAmount);
                det.set("Invoice_payment", p.payment);
                det.post();
            }
        }
        // A credit to the payables account is owed to the supplier, a debit
        // pays it. What the payables lines move beyond the invoice payments
        // is the supplier's too: on account ("5") or added ("4").
        const Money change = journal::addChecked(apCredit, -apDebit, "the payables lines");
        const Money rest = journal::addChecked(change, -written, "the payables lines");
        if (rest < Money())
            ledgerRow(doc.reference, doc.date, "5", rest);
        else if (rest > Money())
            ledgerRow(doc.reference, doc.date, "4", rest);
        stage(Stage::Ledger);

        sup->set("Sup_date_last_pmt", doc.date);
        sup->set("Sup_current_bal",
                 journal::addChecked(sup->money("Sup_current_bal"), change, "the supplier's balance"));
        sup->post();
        result.balanceChange = change;
        stage(Stage::Supplier);
    }

    tx.commit();
    return result;
}

std::optional<DisbursementResult> DisbursementPosting::post(const DisbursementDocument& doc, int period,
                                                            const std::function<bool()>& waitForLock) {
    for (;;) {
        try {
            return postOnce(doc, period);
        } catch (const EngineError& e) {
            if (!e.isLock()) throw;
        }
        if (!waitForLock || !waitForLock()) return std::nullopt;
    }
}

} // namespace vm::cashdisb
