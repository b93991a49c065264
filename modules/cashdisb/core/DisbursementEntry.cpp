#include "modules/cashdisb/core/DisbursementEntry.h"

#include "common/journal/ControlAccounts.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Schema.h"

#include <algorithm>

namespace vm::cashdisb {
DisbursementEntry::DisbursementEntry(Database& companyDb, const journal::ControlAccounts& accounts,
                                     int sessionId)
    : db_(companyDb), accounts_(accounts), sessionId_(sessionId),
      invoiceTable_(schema::workTableName("car_temp", sessionId)),
      lineTable_(schema::workTableName("aptmp", sessionId)),
      totalsTable_(schema::workTableName("cxtmp", sessionId)),
      lines_(companyDb, lineTable_, totalsTable_, DisbursementDocument::kMaxLines,
             journal::DistributionLines::ClearAccount::WithoutAmount) {}

void DisbursementEntry::createWorkTables(Database& dataRootDb) {
    schema::createDisbursementWorkTables(db_, dataRootDb, sessionId_);
    supplier_.reset();
    active_ = false;
    paymentTotal_ = Money();
}

std::optional<DisbursementEntry::Supplier> DisbursementEntry::findSupplier(const std::string& code) const {
    if (code.empty()) return std::nullopt;
    Cursor sup(db_, "sup", true);
    if (!sup.findKey({Value(code)})) return std::nullopt;
    return Supplier{sup.str("Sup_code"), sup.str("Sup_name"), sup.str("Sup_email"),
                    journal::ControlAccounts::normalisedCurrency(sup.integer("Sup_currency")),
                    static_cast<std::int32_t>(sup.integer("Sup_bank_account"))};
}

void DisbursementEntry::startSupplier(const Supplier& supplier, const std::string& reference) {
    journal::inWorkTransaction(db_, [&] {
        buildOpenInvoices(supplier.code, reference);
        buildDistribution(supplier.currency, supplier.bankAccount);
        updateTotals();
    });
    supplier_ = supplier;
    active_ = true;
    paymentTotal_ = Money();
}

void DisbursementEntry::startNotToSupplier() {
    journal::inWorkTransaction(db_, [&] {
        db_.emptyTable(invoiceTable_);
        buildDistribution(0, 0);
        updateTotals();
    });
    supplier_.reset();
    active_ = true;
    paymentTotal_ = Money();
}

// One list row per invoice number: its ledger rows summed, its dates and
// memo from the first of them. One set-based statement, so that a supplier
// with a long ledger is listed at the cost of reading its rows once.
void DisbursementEntry::buildOpenInvoices(const std::string& supplierCode, const std::string& reference) {
    db_.emptyTable(invoiceTable_);
    db_.execute(
        "INSERT INTO " + invoiceTable_ +
            " (Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_du_date, Car_amount, Car_memo,"
            " Car_slsm, Car_pro_tax, Car_fed_tax, Car_Payment)"
            " SELECT f.Cap_supplier, f.Cap_invoice, ?, f.Cap_date, '2', f.Cap_du_date, g.amount, f.Cap_memo,"
            " '', 0, 0, 0"
            " FROM (SELECT MIN(Cap_seq) AS first, SUM(Cap_amount) AS amount FROM cap"
            " WHERE Cap_supplier = ? GROUP BY Cap_invoice) g"
            " JOIN cap f ON f.Cap_seq = g.first ORDER BY f.Cap_invoice",
        {Value(reference), Value(supplierCode)});
}

// Row 1 is the payables account of the currency, then the company's
// disbursement accounts that are in the chart; a supplier's own bank
// account goes on top when no row has it yet.
void DisbursementEntry::buildDistribution(int currency, std::int32_t supplierBank) {
    db_.emptyTable(lineTable_);
    std::vector<std::int32_t> rows{accounts_.payablesAccount(currency)};
    for (std::int32_t account : accounts_.disbursementAccounts) {
        bool found = false;
        lines_.accountDescription(account, &found);
        if (found) rows.push_back(account);
    }
    if (supplierBank != 0 && std::find(rows.begin(), rows.end(), supplierBank) == rows.end())
        rows.insert(rows.begin(), supplierBank);
    for (std::int32_t account : rows)
        lines_.insert(account, lines_.accountDescription(account));
}

std::vector<DisbursementEntry::InvoiceRow> DisbursementEntry::invoices() const {
    std::vector<InvoiceRow> rows;
    Cursor list(db_, invoiceTable_, true);
    list.setIndex("Invoice");
    for (bool more = list.first(); more; more = list.next())
        rows.push_back({list.rowId(), list.str("Car_invoice"), list.date("Car_date"),
                        list.date("Car_du_date"), list.money("Car_amount"), list.money("Car_Payment")});
    return rows;
}

void DisbursementEntry::setPayment(std::int64_t rowId, Money payment) {
    journal::inWorkTransaction(db_, [&] {
        Cursor list(db_, invoiceTable_);
        journal::moveToRow(list, rowId);
        const Money previous = list.money("Car_Payment");
        list.edit();
        list.set("Car_Payment", payment);
        list.post();
        if (active_) {
            paymentTotal_ += payment - previous;
            applyAutomaticLines();
            updateTotals();
        }
    });
}

bool DisbursementEntry::payInFull(std::int64_t rowId) {
    Cursor list(db_, invoiceTable_, true);
    journal::moveToRow(list, rowId);
    const Money amount = list.money("Car_amount");
    if (list.money("Car_Payment") == amount) return false;
    setPayment(rowId, amount);
    return true;
}

void DisbursementEntry::applyAutomaticLines() {
    const Money total = paymentTotal_;
    const bool positive = total > Money();
    const std::int32_t supplierBank = supplier_ ? supplier_->bankAccount : 0;
    std::int64_t payablesRow = 0, bankRow = 0, companyBankRow = 0;
    {
        Cursor lines(db_, lineTable_, true);
        for (bool more = lines.first(); more; more = lines.next()) {
            const auto account = static_cast<std::int32_t>(lines.integer("Tmp_account"));
            if (!payablesRow && accounts_.isPayablesAccount(account)) payablesRow = lines.rowId();
            if (!bankRow && supplierBank != 0 && account == supplierBank) bankRow = lines.rowId();
            if (!companyBankRow && accounts_.isBankAccount(account)) companyBankRow = lines.rowId();
        }
    }
    if (!bankRow) bankRow = companyBankRow;
    Cursor lines(db_, lineTable_);
    auto put = [&](std::int64_t row, Money debit, Money credit) {
        if (!row || !lines.gotoRowId(row)) return;
        lines.edit();
        lines.set("Tmp_debit", debit);
        lines.set("Tmp_credit", credit);
        lines.post();
    };
    put(payablesRow, positive ? total : Money(), positive ? Money() : -total);
    put(bankRow, positive ? Money() : -total, positive ? total : Money());
}

std::vector<DisbursementEntry::LineRow> DisbursementEntry::lines() const {
    return lines_.rows();
}

int DisbursementEntry::lineCount() const {
    return lines_.count();
}

std::optional<std::int64_t> DisbursementEntry::addLine() {
    return lines_.add();
}

CheckResult DisbursementEntry::setLineAccount(std::int64_t rowId, std::optional<std::int32_t> account) {
    if (lines_.setAccount(rowId, account)) return {};
    return {kMsgAccountInvalid, DisbursementField::Distribution};
}

void DisbursementEntry::setLineDescription(std::int64_t rowId, const std::string& description) {
    lines_.setDescription(rowId, description);
}

void DisbursementEntry::setLineDebit(std::int64_t rowId, Money debit) {
    lines_.setDebit(rowId, debit);
}

void DisbursementEntry::setLineCredit(std::int64_t rowId, Money credit) {
    lines_.setCredit(rowId, credit);
}

void DisbursementEntry::deleteLine(std::int64_t rowId) {
    lines_.remove(rowId);
}

void DisbursementEntry::updateTotals() {
    lines_.updateTotals();
}

DisbursementEntry::Totals DisbursementEntry::totals() const {
    return lines_.totals();
}

DisbursementDocument DisbursementEntry::document(Date date, const std::string& reference,
                                                 const std::string& memo) const {
    DisbursementDocument doc;
    doc.notToSupplier = !supplier_.has_value();
    doc.supplier = supplier_ ? supplier_->code : std::string();
    doc.date = date;
    doc.reference = reference;
    doc.memo = memo;
    if (supplier_) {
        Cursor list(db_, invoiceTable_, true);
        list.setIndex("Invoice");
        for (bool more = list.first(); more; more = list.next())
            doc.invoices.push_back({list.str("Car_invoice"), list.date("Car_date"), list.date("Car_du_date"),
                                    list.money("Car_amount"), list.money("Car_Payment")});
    }
    for (LineRow& r : lines())
        doc.lines.push_back(std::move(r.line));
    return doc;
}

void DisbursementEntry::clear() {
    journal::inWorkTransaction(db_, [&] {
        db_.emptyTable(invoiceTable_);
        db_.emptyTable(lineTable_);
        updateTotals();
    });
    supplier_.reset();
    active_ = false;
    paymentTotal_ = Money();
}

} // namespace vm::cashdisb
