#include "modules/chqedit/core/ChequeEntryEditor.h"

#include "common/core/AmountInWords.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

#include <algorithm>

namespace vm::chqedit {
namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string slotField(const char* stem, int slot) {
    return std::string(stem) + std::to_string(slot);
}

bool editing(const Cursor& c) {
    return c.state() == Cursor::State::Edit || c.state() == Cursor::State::Insert;
}

} // namespace

void ChequeEntryEditor::createWorkTables(Database& company, Database& dataRoot, ChequeBook book,
                                         int sessionId) {
    if (book == ChequeBook::Entries)
        schema::createChequeWorkTables(company, dataRoot, sessionId);
    else
        schema::createChequeLinesWorkTable(company, sessionId);
}

ChequeEntryEditor::ChequeEntryEditor(Database& company, Database& work, ChequeBook book, int sessionId)
    : company_(company), workDb_(work), book_(book),
      headerName_(book == ChequeBook::Entries ? "apchqh" : "recchqh"),
      linesName_(book == ChequeBook::Entries ? "apchqd" : "recchqd"),
      workName_(schema::workTableName("apchqdtmp", sessionId)),
      listName_(schema::workTableName("car_temp", sessionId)), settings_(ChequeSettings::read(company)) {
    header_ = std::make_unique<Cursor>(company_, headerName_);
    work_ = std::make_unique<Cursor>(workDb_, workName_);
    if (book_ == ChequeBook::Entries) {
        list_ = std::make_unique<Cursor>(workDb_, listName_);
        list_->setIndex("Invoice");
    }
}

ChequeEntryEditor::~ChequeEntryEditor() = default;

Cursor& ChequeEntryEditor::invoiceList() {
    return *list_;
}

// ------------------------------------------------------------------ the entry shown

bool ChequeEntryEditor::hasSupplier() const {
    const Cursor& h = *header_;
    return !recurring() && (editing(h) || h.hasRow()) && !trimmed(h.str("Apchqh_fou")).empty();
}

int ChequeEntryEditor::currency() {
    Cursor& h = *header_;
    if (!editing(h) && !h.hasRow()) return 0;
    if (hasSupplier()) {
        Cursor sup(company_, "sup", true);
        if (sup.findKey({Value(trimmed(h.str("Apchqh_fou")))})) {
            const auto c = static_cast<int>(sup.integer("Sup_currency"));
            return c >= 0 && c < kCurrencies ? c : 0;
        }
        return 0;
    }
    const int position = settings_.bankPosition(static_cast<std::int32_t>(h.integer("Apchqh_accnt2")));
    return position < 0 ? 0 : position;
}

int ChequeEntryEditor::lineCount() {
    return static_cast<int>(work_->recordCount());
}

void ChequeEntryEditor::loadLines() {
    recompute_ = false;
    used_.clear();
    Transaction tx(workDb_, false, /*batch=*/true);
    workDb_.emptyTable(workName_);
    const Cursor& h = *header_;
    if (h.state() != Cursor::State::Insert && h.hasRow()) {
        // Read on the lines' own connection: what is stored, whatever the
        // company connection is doing.
        Cursor lines(workDb_, linesName_, true);
        lines.setIndex("Apchqd_seq");
        const int inc = work_->fieldIndex("Apchqd_inc");
        for (bool on = lines.setRange({Value(h.integer("Apchqh_seq"))}); on; on = lines.next()) {
            work_->append();
            for (int f = 0; f < work_->fieldCount(); ++f)
                if (f != inc) work_->set(f, lines.value(f));
            work_->post();
            if (hasSupplier()) used_.push_back(lines.str("Apchqd_invoice"));
        }
    }
    tx.commit();
    work_->first();
}

// ------------------------------------------------------------------ the header

void ChequeEntryEditor::newEntry() {
    Cursor& h = *header_;
    schema::fillBlank(h);
    std::int64_t highest = 0;
    {
        Cursor last(company_, headerName_, true);
        if (last.last()) highest = last.integer("Apchqh_seq");
    }
    h.set("Apchqh_seq", highest + 1);
    if (!settings_.banks.empty()) h.set("Apchqh_accnt2", settings_.banks.front().account);
    for (int slot = 3; slot <= 9; ++slot)
        h.set(slotField("Apchqh_accnt", slot), settings_.slotDefaults[static_cast<std::size_t>(slot - 3)]);
    h.set("Apchqh_date_imp", Date::today());
    used_.clear();
    recompute_ = false;
    workDb_.emptyTable(workName_);
    work_->first();
}

int ChequeEntryEditor::supplierExit(const std::string& typed, const std::string& before) {
    Cursor& h = *header_;
    const std::string code = trimmed(typed);
    if (code.empty()) {
        h.set("Apchqh_fou", std::string());
        h.set("Apchqh_accnt1", 0);
        refreshWords();
        return kNoMessage;
    }
    Cursor sup(company_, "sup", true);
    if (!sup.findKey({Value(code)})) {
        h.set("Apchqh_fou", std::string());
        h.set("Apchqh_accnt1", 0);
        return kMsgSupplierNotFound;
    }
    h.set("Apchqh_fou", code);
    if (code != trimmed(before)) copyPayee(code);
    // A supplier whose bank is not a company bank keeps the cheque's bank.
    const auto bank = static_cast<std::int32_t>(sup.integer("Sup_bank_account"));
    if (settings_.bankPosition(bank) >= 0) h.set("Apchqh_accnt2", bank);
    h.set("Apchqh_accnt1", settings_.payablesAccount(static_cast<int>(sup.integer("Sup_currency"))));
    refreshWords();
    return kNoMessage;
}

bool ChequeEntryEditor::copyPayee(const std::string& code) {
    Cursor sup(company_, "sup", true);
    if (!sup.findKey({Value(trimmed(code))})) return false;
    Cursor& h = *header_;
    const std::pair<const char*, const char*> fields[] = {
        {"Apchqh_nom", "Sup_name"},
        {"Apchqh_adr1", "Sup_adr1"},
        {"Apchqh_adr2", "Sup_adr2"},
        {"Apchqh_city", "Sup_city"},
        {"Apchqh_code_postal", "Sup_postal_code"},
        {"Apchqh_prov", "Sup_prov"},
        {"Apchqh_country", "Sup_country"},
    };
    for (const auto& [to, from] : fields)
        h.set(to, sup.str(from));
    return true;
}

void ChequeEntryEditor::bankChosen(int position) {
    if (position < 0 || position >= static_cast<int>(settings_.banks.size())) return;
    header_->set("Apchqh_accnt2", settings_.banks[static_cast<std::size_t>(position)].account);
    refreshWords();
}

void ChequeEntryEditor::changeAmount(Money delta) {
    Cursor& h = *header_;
    if (!editing(h) || delta.isZero()) return;
    h.set("Apchqh_Montant", h.money("Apchqh_Montant") + delta);
    refreshWords();
}

void ChequeEntryEditor::refreshWords() {
    Cursor& h = *header_;
    if (!editing(h)) return;
    if (const auto words =
            amountInWords(h.money("Apchqh_Montant"), language_, chequeCurrencyWords(company_, currency())))
        h.set("Apchqh_desc", *words);
}

// ------------------------------------------------------------------ lines

bool ChequeEntryEditor::moveWork(std::int64_t rowId) {
    return rowId != 0 && work_->gotoRowId(rowId);
}

bool ChequeEntryEditor::supplierInvoice(const std::string& supplier, const std::string& invoice, Date* date,
                                        Date* due) {
    Cursor cap(workDb_, "cap", true);
    cap.setIndexFields("Cap_supplier;Cap_invoice");
    if (!cap.findNearest({Value(supplier), Value(invoice)})) return false;
    if (cap.str("Cap_supplier") != supplier || cap.str("Cap_invoice") != invoice) return false;
    *date = cap.date("Cap_date");
    *due = cap.date("Cap_du_date");
    return true;
}

LineResult ChequeEntryEditor::setInvoice(std::int64_t rowId, const std::string& typed) {
    const std::string invoice = trimmed(typed);
    const bool existing = moveWork(rowId);
    LineResult r;
    r.rowId = existing ? rowId : 0;
    // A stored line always has its invoice: an empty one is not taken.
    if (invoice.empty()) return r;
    const std::string before = existing ? work_->str("Apchqd_invoice") : std::string();
    Date date = Date::today(), due = Date::today();
    if (hasSupplier()) {
        if (!supplierInvoice(trimmed(header_->str("Apchqh_fou")), invoice, &date, &due)) {
            r.message = kMsgInvoiceNotFound;
            return r;
        }
        if (invoice != before && std::find(used_.begin(), used_.end(), invoice) != used_.end()) {
            r.message = kMsgInvoiceOnCheque;
            return r;
        }
    }
    if (existing) {
        work_->edit();
    } else {
        work_->append();
        work_->set("Apchqd_seq", header_->integer("Apchqh_seq"));
        work_->set("Apchqd_montant", Money());
        work_->set("Apchqd_esc", Money());
        work_->set("Apchqd_payment", Money());
    }
    work_->set("Apchqd_fou", trimmed(header_->str("Apchqh_fou")));
    work_->set("Apchqd_invoice", invoice);
    if (hasSupplier() || !existing) {
        work_->set("Apchqd_date", date);
        work_->set("Apchqd_du_date", due);
    }
    work_->post();
    if (hasSupplier()) {
        used_.erase(std::remove(used_.begin(), used_.end(), before), used_.end());
        used_.push_back(invoice);
    }
    r.accepted = true;
    r.rowId = work_->rowId();
    return r;
}

int ChequeEntryEditor::setAmounts(std::int64_t rowId, std::optional<Money> amount,
                                  std::optional<Money> discount) {
    if (!moveWork(rowId)) return kNoMessage;
    int message = kNoMessage;
    if (recurring()) {
        // A template pays: neither its amounts nor its discounts go below zero.
        if (amount && *amount < Money()) {
            amount = Money();
            message = kMsgNegativeAmount;
        }
        if (discount && *discount < Money()) {
            discount = Money();
            message = kMsgNegativeAmount;
        }
    }
    recompute_ = true;
    const Money oldPayment = work_->money("Apchqd_payment");
    work_->edit();
    if (amount) work_->set("Apchqd_montant", *amount);
    if (discount) work_->set("Apchqd_esc", *discount);
    const Money payment = work_->money("Apchqd_montant") - work_->money("Apchqd_esc");
    work_->set("Apchqd_payment", payment);
    work_->post();
    changeAmount(payment - oldPayment);
    return message;
}

void ChequeEntryEditor::setLineDate(std::int64_t rowId, const std::string& field, Date date) {
    if (!moveWork(rowId) || hasSupplier()) return;
    work_->edit();
    work_->set(field, date);
    work_->post();
}

void ChequeEntryEditor::deleteLine(std::int64_t rowId) {
    if (!moveWork(rowId)) return;
    const Money payment = work_->money("Apchqd_payment");
    const std::string invoice = work_->str("Apchqd_invoice");
    work_->remove();
    changeAmount(-payment);
    if (hasSupplier()) used_.erase(std::remove(used_.begin(), used_.end(), invoice), used_.end());
    recompute_ = true;
}

// ------------------------------------------------------------------ list of invoices

// One row per invoice with an open balance: the supplier's rows come grouped
// by invoice, so each group is summed as it is read and written once, in a
// batch (a server is sent the rows without waiting for each answer).
void ChequeEntryEditor::buildInvoiceList() {
    if (!list_) return;
    Transaction tx(workDb_, false, /*batch=*/true);
    workDb_.emptyTable(listName_);
    const std::string supplier = hasSupplier() ? trimmed(header_->str("Apchqh_fou")) : std::string();
    if (!supplier.empty()) {
        Cursor cap(workDb_, "cap", true);
        cap.setIndexFields("Cap_supplier;Cap_invoice");
        bool open = false;
        std::string current;
        auto flush = [&] {
            if (open && list_->money("Car_amount") > Money())
                list_->post();
            else if (open)
                list_->cancel();
            open = false;
        };
        for (bool on = cap.setRange({Value(supplier)}); on; on = cap.next()) {
            const std::string invoice = cap.str("Cap_invoice");
            if (open && invoice == current) {
                list_->set("Car_amount", list_->money("Car_amount") + cap.money("Cap_amount"));
                continue;
            }
            flush();
            current = invoice;
            list_->insert();
            list_->set("Car_client", cap.str("Cap_supplier"));
            list_->set("Car_invoice", invoice);
            list_->set("Car_ref", cap.str("Cap_ref"));
            list_->set("Car_date", cap.value("Cap_date"));
            list_->set("Car_du_date", cap.value("Cap_du_date"));
            list_->set("Car_amount", cap.money("Cap_amount"));
            list_->set("Car_memo", cap.value("Cap_memo"));
            list_->set("Car_type", "2");
            list_->set("Car_Payment", Money());
            open = true;
        }
        flush();
    }
    tx.commit();
    list_->first();
}

LineResult ChequeEntryEditor::chooseInvoice(const std::string& invoice) {
    LineResult r;
    if (!list_ || !list_->findKey({Value(invoice)})) return r;
    if (std::find(used_.begin(), used_.end(), invoice) != used_.end()) {
        r.message = kMsgInvoiceOnCheque;
        return r;
    }
    const Money open = list_->money("Car_amount");
    const Date date = list_->date("Car_date"), due = list_->date("Car_du_date");
    work_->append();
    work_->set("Apchqd_seq", header_->integer("Apchqh_seq"));
    work_->set("Apchqd_fou", trimmed(header_->str("Apchqh_fou")));
    work_->set("Apchqd_invoice", invoice);
    work_->set("Apchqd_date", date);
    work_->set("Apchqd_du_date", due);
    work_->set("Apchqd_montant", Money());
    work_->set("Apchqd_esc", Money());
    work_->set("Apchqd_payment", Money());
    work_->post();
    used_.push_back(invoice);
    r.rowId = work_->rowId();
    r.accepted = true;
    setAmounts(r.rowId, open, Money());
    return r;
}

// ------------------------------------------------------------------ distribution

void ChequeEntryEditor::recomputeDistribution() {
    Cursor& h = *header_;
    std::array<Money, kSlots + 1> dist{};
    const bool supplier = hasSupplier();
    for (bool on = work_->first(); on; on = work_->next()) {
        dist[supplier ? 1 : 4] += work_->money("Apchqd_montant");
        dist[2] -= work_->money("Apchqd_payment");
        dist[3] -= work_->money("Apchqd_esc");
    }
    for (int slot = 1; slot <= kSlots; ++slot)
        h.set(slotField("Apchqh_dist", slot), dist[static_cast<std::size_t>(slot)]);
    if (!supplier) h.set("Apchqh_accnt1", 0);
    recompute_ = false;
}

int ChequeEntryEditor::slotAccountExit(int slot) {
    Cursor& h = *header_;
    const std::string field = slotField("Apchqh_accnt", slot);
    const auto account = static_cast<std::int32_t>(h.integer(field));
    if (account == 0) return kNoMessage;
    Cursor glm(company_, "glm", true);
    if (!glm.findKey({Value(account)})) return kMsgAccountNotFound;
    if (settings_.reserved.count(account)) {
        h.set(field, 0);
        return kMsgReservedAccount;
    }
    return kNoMessage;
}

std::optional<StoreRefusal> ChequeEntryEditor::storeRefusal(bool distributionShown) {
    Cursor& h = *header_;
    if (!distributionShown && recompute_) {
        recomputeDistribution();
        // A cheque without supplier has its lines put on slot 4: the user
        // checks (or spreads) them before it can be stored.
        if (!hasSupplier()) return StoreRefusal{kNoMessage, true, 4};
    }
    auto amount = [&](int slot) { return h.money(slotField("Apchqh_dist", slot)); };
    auto account = [&](int slot) {
        return static_cast<std::int32_t>(h.integer(slotField("Apchqh_accnt", slot)));
    };
    {
        Cursor glm(company_, "glm", true);
        for (int slot = 3; slot <= kSlots; ++slot)
            if (!amount(slot).isZero() && !glm.findKey({Value(account(slot))}))
                return StoreRefusal{kMsgAccountNotFound, true, slot};
    }
    if (!amount(1).isZero() && !hasSupplier()) return StoreRefusal{kMsgPayablesWithoutSupplier, true, 1};
    for (int slot = 1; slot <= kSlots; ++slot)
        if (!amount(slot).isZero() && account(slot) == 0) return StoreRefusal{kMsgZeroAccount, true, slot};
    Money sum;
    for (int slot = 1; slot <= kSlots; ++slot)
        sum += amount(slot);
    if (!sum.isZero()) return StoreRefusal{kMsgUnbalanced, true, 0};
    return std::nullopt;
}

void ChequeEntryEditor::deleteStoredLines(std::int64_t seq) {
    Cursor lines(company_, linesName_);
    lines.setIndex("Apchqd_seq");
    for (bool on = lines.setRange({Value(seq)}); on; on = lines.first())
        lines.remove();
}

void ChequeEntryEditor::writeDetails() {
    Cursor& h = *header_;
    // Under the write lock from here to the commit: the number read below
    // cannot be taken by another workstation before this entry is written.
    company_.beginWrite();
    if (h.state() == Cursor::State::Insert) {
        std::int64_t highest = 0;
        Cursor last(company_, headerName_, true);
        if (last.last()) highest = last.integer("Apchqh_seq");
        h.set("Apchqh_seq", highest + 1);
    }
    const std::int64_t seq = h.integer("Apchqh_seq");
    const std::string supplier = recurring() ? std::string() : trimmed(h.str("Apchqh_fou"));
    deleteStoredLines(seq);
    Cursor lines(company_, linesName_);
    Cursor work(company_, workName_, true);
    const int inc = lines.fieldIndex("Apchqd_inc");
    for (bool on = work.first(); on; on = work.next()) {
        lines.insert();
        for (int f = 0; f < lines.fieldCount(); ++f)
            if (f != inc) lines.set(f, work.value(f));
        lines.set("Apchqd_seq", seq);
        lines.set("Apchqd_fou", supplier);
        lines.post();
    }
}

void ChequeEntryEditor::removeDetails() {
    deleteStoredLines(header_->integer("Apchqh_seq"));
}

void ChequeEntryEditor::store() {
    if (!company_.inTransaction()) company_.startTransaction(true);
    try {
        writeDetails();
        header_->post();
        company_.commit();
    } catch (...) {
        if (company_.inTransaction()) company_.rollback();
        throw;
    }
    // The work lines now carry the entry's number.
    loadLines();
}

void ChequeEntryEditor::remove() {
    if (!header_->hasRow()) return;
    Transaction tx(company_, true);
    removeDetails();
    header_->remove();
    tx.commit();
}

} // namespace vm::chqedit
