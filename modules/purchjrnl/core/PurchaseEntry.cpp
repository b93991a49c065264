#include "modules/purchjrnl/core/PurchaseEntry.h"

#include "common/journal/ControlAccounts.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

namespace vm::purchjrnl {
namespace {

// virmem fields of line i (0-based): lines 1-9 debit Curr_1..9 and credit
// Curr_10..18; lines 10 and 11 Curr_21/22 and Curr_23/24.
std::string amountField(int i, bool debit) {
    const int n = i < 9 ? (debit ? i + 1 : i + 10) : 21 + (i - 9) * 2 + (debit ? 0 : 1);
    return "Curr_" + std::to_string(n);
}

} // namespace

PurchaseEntry::PurchaseEntry(Database& companyDb, Database& dataRootDb,
                             const journal::ControlAccounts& accounts, int sessionId)
    : db_(companyDb), accounts_(accounts), virmem_(std::make_unique<Cursor>(dataRootDb, "virmem")) {
    if (!virmem_->findKey({Value(sessionId)})) {
        virmem_->insert();
        schema::fillBlank(*virmem_);
        virmem_->set("Session_id", sessionId);
        virmem_->post();
    }
    virmem_->edit();
    reset(0);
}

PurchaseEntry::~PurchaseEntry() {
    try {
        virmem_->cancel();
    } catch (...) { // the lock goes with the cursor either way
    }
}

std::optional<PurchaseEntry::Supplier> PurchaseEntry::findSupplier(const std::string& code) const {
    if (code.empty()) return std::nullopt;
    Cursor sup(db_, "sup", true);
    if (!sup.findKey({Value(code)})) return std::nullopt;
    Supplier s{sup.str("Sup_code"), sup.str("Sup_name"), sup.str("Sup_adr1"), sup.str("Sup_adr2"),
               sup.str("Sup_city"), sup.str("Sup_prov"), sup.str("Sup_email")};
    s.currency = journal::ControlAccounts::normalisedCurrency(sup.integer("Sup_currency"));
    s.terms = sup.integer("Sup_du_days");
    for (int k = 0; k < 3; ++k)
        s.accounts[k] = static_cast<std::int32_t>(sup.integer("Sup_accnt" + std::to_string(k + 1)));
    return s;
}

std::string PurchaseEntry::description(std::int32_t account, bool* found) const {
    bool there = false;
    std::string text;
    if (account != 0) {
        Cursor glm(db_, "glm", true);
        there = glm.findKey({Value(account)});
        if (there) text = glm.str("Glm_Description");
    }
    if (found) *found = there;
    return text;
}

void PurchaseEntry::reset(int currency) {
    // What was typed is dropped: the row goes back to its stored values and
    // is held again.
    virmem_->cancel();
    virmem_->edit();
    lines_ = {};
    lines_[0].account = accounts_.payablesAccount(currency);
    for (int k = 0; k < journal::ControlAccounts::kTemplateLines; ++k)
        lines_[static_cast<std::size_t>(k + 1)].account =
            accounts_.purchaseAccounts[static_cast<std::size_t>(k)];
    for (int i = 0; i < kLines; ++i) {
        PurchaseLine& l = lines_[static_cast<std::size_t>(i)];
        l.description = description(l.account);
        store(i, true, Money());
        store(i, false, Money());
    }
    storeTotals();
}

void PurchaseEntry::applySupplierAccounts(const Supplier& supplier) {
    for (int k = 0; k < 3; ++k) {
        if (supplier.accounts[k] == 0) continue;
        PurchaseLine& l = lines_[static_cast<std::size_t>(k + 1)];
        l.account = supplier.accounts[k];
        l.description = description(l.account);
        l.debit = l.credit = Money();
        store(k + 1, true, Money());
        store(k + 1, false, Money());
    }
    storeTotals();
}

int PurchaseEntry::firstFreeLine() const {
    for (int i = 0; i < kLines; ++i)
        if (lines_[static_cast<std::size_t>(i)].account == 0) return i;
    return 0;
}

CheckResult PurchaseEntry::setAccount(int i, std::int32_t account) {
    PurchaseLine& l = lines_.at(static_cast<std::size_t>(i));
    bool found = false;
    const std::string text = description(account, &found);
    if (account != 0 && !found) {
        l.account = 0;
        return {kMsgAccountNotFound, PurchaseField::LineAccount, i};
    }
    l.account = account;
    l.description = text;
    return {};
}

void PurchaseEntry::setDescription(int i, const std::string& text) {
    lines_.at(static_cast<std::size_t>(i)).description = text;
}

CheckResult PurchaseEntry::setDebit(int i, Money debit, PurchaseType type) {
    PurchaseLine& l = lines_.at(static_cast<std::size_t>(i));
    CheckResult r;
    // A debit note credits the supplier: its payables line is a credit.
    if (type == PurchaseType::Debit && debit > Money() && accounts_.isPayablesAccount(l.account)) {
        r = {kMsgCreditExpected, PurchaseField::LineAmount, i};
        debit = Money();
    }
    l.debit = debit;
    if (!debit.isZero()) l.credit = Money();
    store(i, true, l.debit);
    store(i, false, l.credit);
    storeTotals();
    return r;
}

CheckResult PurchaseEntry::setCredit(int i, Money credit, PurchaseType type) {
    PurchaseLine& l = lines_.at(static_cast<std::size_t>(i));
    CheckResult r;
    if (type == PurchaseType::Credit && credit > Money() && accounts_.isPayablesAccount(l.account)) {
        r = {kMsgDebitExpected, PurchaseField::LineAmount, i};
        credit = Money();
    }
    l.credit = credit;
    if (!credit.isZero()) l.debit = Money();
    store(i, true, l.debit);
    store(i, false, l.credit);
    storeTotals();
    return r;
}

void PurchaseEntry::store(int i, bool debit, Money m) {
    virmem_->set(amountField(i, debit), m);
}

// The totals are the sums of the lines, never adjusted step by step, so
// that they cannot drift from them. A sum beyond the money type is left to
// the acceptance checks, which refuse it; the totals then show what fits.
void PurchaseEntry::storeTotals() {
    const Totals t = totals();
    virmem_->set("Curr_19", t.debit);
    virmem_->set("Curr_20", t.credit);
}

PurchaseEntry::Totals PurchaseEntry::totals() const {
    Totals t;
    for (const PurchaseLine& l : lines_) {
        std::int64_t d = 0, c = 0;
        if (!__builtin_add_overflow(t.debit.raw(), l.debit.raw(), &d)) t.debit = Money::fromRaw(d);
        if (!__builtin_add_overflow(t.credit.raw(), l.credit.raw(), &c)) t.credit = Money::fromRaw(c);
    }
    return t;
}

void PurchaseEntry::fillLines(PurchaseDocument& doc) const {
    doc.lines = lines_;
}

} // namespace vm::purchjrnl
