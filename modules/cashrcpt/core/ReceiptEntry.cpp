#include "modules/cashrcpt/core/ReceiptEntry.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "schema/Schema.h"

namespace vm::cashrcpt {
ReceiptEntry::ReceiptEntry(Database& companyDb, const ControlAccounts& accounts, int sessionId)
    : db_(companyDb), accounts_(accounts), sessionId_(sessionId),
      invoiceTable_(schema::workTableName("car_temp", sessionId)),
      lineTable_(schema::workTableName("artmp", sessionId)),
      totalsTable_(schema::workTableName("cxtmp", sessionId)),
      lines_(companyDb, lineTable_, totalsTable_, ReceiptDocument::kMaxLines,
             journal::DistributionLines::ClearAccount::WithoutPositiveAmount) {}

void ReceiptEntry::createWorkTables(Database& dataRootDb) {
    schema::createCashReceiptWorkTables(db_, dataRootDb, sessionId_);
    client_.reset();
    active_ = false;
    paymentTotal_ = Money();
}

std::optional<ReceiptEntry::Client> ReceiptEntry::findClient(const std::string& code) const {
    if (code.empty()) return std::nullopt;
    Cursor cli(db_, "cli", true);
    if (!cli.findKey({Value(code)})) return std::nullopt;
    return Client{
        cli.str("Cli_code"),          cli.str("Cli_name"),
        cli.str("Cli_email"),         ControlAccounts::normalisedCurrency(cli.integer("Cli_currency")),
        cli.money("Cli_current_bal"), cli.integer("Cli_credit_limit")};
}

void ReceiptEntry::startClient(const Client& client, const std::string& reference) {
    journal::inWorkTransaction(db_, [&] {
        buildOpenInvoices(client.code, reference);
        buildDistribution(client.currency);
        updateTotals();
    });
    client_ = client;
    active_ = true;
    paymentTotal_ = Money();
}

void ReceiptEntry::startNotFromClient() {
    journal::inWorkTransaction(db_, [&] {
        db_.emptyTable(invoiceTable_);
        buildDistribution(0);
        updateTotals();
    });
    client_.reset();
    active_ = false;
    paymentTotal_ = Money();
}

// One list row per invoice: the client's ledger rows come grouped by invoice
// through the client index, so each group is summed as it is read.
void ReceiptEntry::buildOpenInvoices(const std::string& clientCode, const std::string& reference) {
    db_.emptyTable(invoiceTable_);
    Cursor car(db_, "car", true);
    car.setIndex("Car_client");
    bool more = car.setRange({Value(clientCode)});
    Cursor list(db_, invoiceTable_);
    list.setIndex("Invoice");
    bool open = false;
    std::string current;
    auto flush = [&] {
        if (open) list.post();
        open = false;
    };
    for (; more; more = car.next()) {
        const std::string invoice = car.str("Car_invoice");
        if (open && invoice == current) {
            list.set("Car_amount", list.money("Car_amount") + car.money("Car_amount"));
            continue;
        }
        flush();
        current = invoice;
        list.insert();
        schema::fillBlank(list);
        for (const char* f : {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_du_date",
                              "Car_amount", "Car_memo", "Car_slsm", "Car_pro_tax", "Car_fed_tax"})
            list.set(f, car.value(f));
        list.set("Car_ref", reference);
        list.set("Car_type", "2");
        list.set("Car_Payment", Money());
        open = true;
    }
    flush();
}

// Line 1 is the receivables account of the currency; then the company's
// receipt accounts that are in the chart, a bank account among them being
// the bank of the currency. One chart cursor serves every account.
void ReceiptEntry::buildDistribution(int currency) {
    db_.emptyTable(lineTable_);
    Cursor glm(db_, "glm", true);
    const std::int32_t receivables = accounts_.receivablesAccount(currency);
    lines_.insert(receivables, journal::DistributionLines::accountDescription(glm, receivables));
    const std::int32_t bank = accounts_.bankAccount(currency);
    for (std::int32_t account : accounts_.receiptAccounts) {
        bool found = false;
        std::string description = journal::DistributionLines::accountDescription(glm, account, &found);
        if (!found) continue;
        if (accounts_.isBankAccount(account) && bank != 0 && bank != account) {
            account = bank;
            description = journal::DistributionLines::accountDescription(glm, account);
        }
        lines_.insert(account, description);
    }
}

std::vector<ReceiptEntry::InvoiceRow> ReceiptEntry::invoices() const {
    std::vector<InvoiceRow> rows;
    Cursor list(db_, invoiceTable_, true);
    list.setIndex("Invoice");
    for (bool more = list.first(); more; more = list.next())
        rows.push_back({list.rowId(), list.str("Car_invoice"), list.date("Car_date"),
                        list.date("Car_du_date"), list.money("Car_amount"), list.money("Car_Payment")});
    return rows;
}

void ReceiptEntry::setPayment(std::int64_t rowId, Money payment) {
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

bool ReceiptEntry::payInFull(std::int64_t rowId) {
    Cursor list(db_, invoiceTable_, true);
    journal::moveToRow(list, rowId);
    const Money amount = list.money("Car_amount");
    if (list.money("Car_Payment") == amount) return false;
    setPayment(rowId, amount);
    return true;
}

void ReceiptEntry::applyAutomaticLines() {
    const Money total = paymentTotal_;
    const bool positive = total > Money();
    bool receivablesDone = false, bankDone = false;
    Cursor lines(db_, lineTable_);
    for (bool more = lines.first(); more && !(receivablesDone && bankDone); more = lines.next()) {
        const auto account = static_cast<std::int32_t>(lines.integer("Tmp_account"));
        if (!receivablesDone && accounts_.isReceivablesAccount(account)) {
            lines.edit();
            lines.set("Tmp_credit", positive ? total : Money());
            lines.set("Tmp_debit", positive ? Money() : -total);
            lines.post();
            receivablesDone = true;
        } else if (!bankDone && accounts_.isBankAccount(account)) {
            lines.edit();
            lines.set("Tmp_debit", positive ? total : Money());
            lines.set("Tmp_credit", positive ? Money() : -total);
            lines.post();
            bankDone = true;
        }
    }
}

std::vector<ReceiptEntry::LineRow> ReceiptEntry::lines() const {
    return lines_.rows();
}

int ReceiptEntry::lineCount() const {
    return lines_.count();
}

std::optional<std::int64_t> ReceiptEntry::addLine() {
    return lines_.add();
}

CheckResult ReceiptEntry::setLineAccount(std::int64_t rowId, std::optional<std::int32_t> account) {
    if (lines_.setAccount(rowId, account)) return {};
    return {kMsgAccountInvalid, ReceiptField::Distribution};
}

void ReceiptEntry::setLineDescription(std::int64_t rowId, const std::string& description) {
    lines_.setDescription(rowId, description);
}

void ReceiptEntry::setLineDebit(std::int64_t rowId, Money debit) {
    lines_.setDebit(rowId, debit);
}

void ReceiptEntry::setLineCredit(std::int64_t rowId, Money credit) {
    lines_.setCredit(rowId, credit);
}

void ReceiptEntry::deleteLine(std::int64_t rowId) {
    lines_.remove(rowId);
}

void ReceiptEntry::updateTotals() {
    lines_.updateTotals();
}

ReceiptEntry::Totals ReceiptEntry::totals() const {
    return lines_.totals();
}

ReceiptDocument ReceiptEntry::document(Date date, const std::string& reference, const std::string& memo,
                                       bool nsfCheque) const {
    ReceiptDocument doc;
    doc.notFromClient = !client_.has_value();
    doc.client = client_ ? client_->code : std::string();
    doc.date = date;
    doc.reference = reference;
    doc.memo = memo;
    doc.nsfCheque = nsfCheque;
    if (client_) {
        Cursor list(db_, invoiceTable_, true);
        list.setIndex("Invoice");
        for (bool more = list.first(); more; more = list.next())
            doc.invoices.push_back({list.str("Car_invoice"), list.str("Car_slsm"), list.date("Car_date"),
                                    list.date("Car_du_date"), list.money("Car_amount"),
                                    list.money("Car_Payment")});
    }
    for (LineRow& r : lines())
        doc.lines.push_back(std::move(r.line));
    return doc;
}

void ReceiptEntry::clear() {
    journal::inWorkTransaction(db_, [&] {
        db_.emptyTable(invoiceTable_);
        db_.emptyTable(lineTable_);
        updateTotals();
    });
    client_.reset();
    active_ = false;
    paymentTotal_ = Money();
}

} // namespace vm::cashrcpt
