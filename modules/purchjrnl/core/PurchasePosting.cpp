#include "modules/purchjrnl/core/PurchasePosting.h"

#include "common/journal/ControlAccounts.h"
#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "schema/Schema.h"

#include <memory>

namespace vm::purchjrnl {

PurchasePosting::PurchasePosting(Database& companyDb, const journal::ControlAccounts& accounts)
    : db_(companyDb), accounts_(accounts) {}

PurchasePosting::~PurchasePosting() = default;

PurchaseResult PurchasePosting::postOnce(const PurchaseDocument& doc, int period) {
    try {
        return write(doc, period);
    } catch (...) {
        // A failure can leave a cursor part-way through an edit or insert:
        // the next posting starts on fresh ones.
        journal_.reset();
        sup_.reset();
        cap_.reset();
        apori_.reset();
        throw;
    }
}

PurchaseResult PurchasePosting::write(const PurchaseDocument& doc, int period) {
    const DateTime now = DateTime::now();
    auto stage = [this](Stage s) {
        if (hook_) hook_(s);
    };

    // What the payables lines move. Every payables line counts, so that the
    // supplier's ledger always follows the control account.
    bool payables = false;
    Money apNet;
    if (!doc.directCash)
        for (const PurchaseLine& line : doc.lines)
            if (line.account != 0 && line.hasAmount() && accounts_.isPayablesAccount(line.account)) {
                payables = true;
                apNet = journal::addChecked(apNet, line.net(), "the payables lines");
            }

    Transaction tx(db_, /*immediate=*/true);
    if (!journal_) {
        sup_ = std::make_unique<Cursor>(db_, "sup");
        cap_ = std::make_unique<Cursor>(db_, "cap");
        apori_ = std::make_unique<Cursor>(db_, "apori");
        journal_ = std::make_unique<journal::JournalWriter>(db_);
    }

    // The supplier's row is taken first, so that waiting for another session
    // happens before anything is written, and its balance is read under the
    // write lock this posting holds until it commits.
    Cursor* sup = nullptr;
    std::string supplierName;
    std::int64_t currency = 0;
    if (!doc.supplier.empty()) {
        sup = sup_.get();
        if (!sup->findKey({Value(doc.supplier)})) {
            if (!doc.directCash)
                throw EngineError(errc::kRecordNotFound,
                                  "Supplier " + doc.supplier + " is not on file (sup)");
            sup = nullptr;
        } else {
            if (payables) sup->edit();
            supplierName = sup->str("Sup_name");
            currency = sup->integer("Sup_currency");
        }
    }

    PurchaseResult result;
    result.journal = journal::journalOfCurrency(kJournal, currency);
    const std::string headerMemo = doc.directCash ? doc.memo : journal::partyMemo(supplierName, doc.memo);
    const journal::JournalKey key{period, result.journal, doc.invoice, doc.date};
    journal_->start(key, headerMemo, user_, now);
    for (const PurchaseLine& line : doc.lines)
        if (line.account != 0 && line.hasAmount())
            journal_->addLine(line.account, line.description, line.debit, line.credit);
    journal_->finish();
    stage(Stage::Journal);

    if (payables && sup) {
        // A credit to the payables account is owed to the supplier.
        const Money owed = -apNet;
        if (doc.type == PurchaseType::Purchase) {
            sup->set("Sup_date_last_purch", doc.date);
            sup->set("Sup_last_purch", owed);
            for (const char* f : {"Sup_purch_mth", "Sup_purch_ytd"})
                sup->set(f, journal::addChecked(sup->money(f), owed, "the supplier's purchase totals"));
        }
        sup->set("Sup_current_bal",
                 journal::addChecked(sup->money("Sup_current_bal"), owed, "the supplier's balance"));
        sup->post();
        result.balanceChange = owed;
        stage(Stage::Supplier);

        Cursor& cap = *cap_;
        cap.insert();
        schema::fillBlank(cap);
        cap.set("Cap_supplier", doc.supplier);
        cap.set("Cap_invoice", doc.invoice);
        cap.set("Cap_ref", doc.type == PurchaseType::Purchase ? std::string() : doc.reference);
        cap.set("Cap_date", doc.date);
        cap.set("Cap_type", ledgerCode(doc.type));
        cap.set("Cap_du_date", doc.dueDate);
        cap.set("Cap_amount", owed);
        cap.set("Cap_memo", doc.memo);
        cap.set("Cap_user", user_);
        cap.set("Cap_stamp", now);
        cap.post();
        stage(Stage::Ledger);
    }

    Cursor& apori = *apori_;
    apori.insert();
    schema::fillBlank(apori);
    apori.set("Reference", doc.invoice);
    apori.set("Supplier", doc.directCash ? std::string() : doc.supplier);
    apori.set("Date", doc.date);
    apori.set("Due_date", doc.dueDate);
    apori.set("Direct_cash_purchase", doc.directCash);
    apori.set("Trx_type", ledgerCode(doc.type));
    apori.set("Dr_cr_reference", doc.reference);
    apori.set("Comments", doc.memo);
    apori.set("Stamp", now);
    apori.set("User", user_);
    apori.set("DebitCredit", doc.type != PurchaseType::Purchase);
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const std::string k = std::to_string(i + 1);
        const PurchaseLine& line = doc.lines[i];
        apori.set("Account" + k, line.account);
        apori.set("Debit" + k, line.account != 0 ? line.debit : Money());
        apori.set("Credit" + k, line.account != 0 ? line.credit : Money());
    }
    apori.post();
    result.recordSeq = apori.integer("Seq");
    stage(Stage::Record);

    tx.commit();
    return result;
}

std::optional<PurchaseResult> PurchasePosting::post(const PurchaseDocument& doc, int period,
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

} // namespace vm::purchjrnl
