#pragma once
#include "common/journal/DistributionLines.h"
#include "engine/Money.h"
#include "modules/cashdisb/core/DisbursementDocument.h"
#include "modules/cashdisb/core/DisbursementMessage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}
namespace vm::journal {
class ControlAccounts;
}

namespace vm::cashdisb {

// The disbursement being typed, kept in the session's work tables of the
// company directory: car_temp N (the supplier's open invoices, with the
// payment applied to each), aptmp N (the distribution rows, at most 20) and
// cxtmp N (one row: the distribution totals). N is the session number, so
// that several workstations enter disbursements at once.
//
// The window shows these tables and sends every user change here; the rules
// of an entry (payments keep the payables and bank rows balanced, a debit
// clears the credit, accounts come from the chart) live here so that tests
// and tools can drive an entry without the window.
class DisbursementEntry {
public:
    struct Supplier {
        std::string code;
        std::string name;
        std::string email;
        int currency = 0; // 0..4
        std::int32_t bankAccount = 0;
    };
    using InvoiceRow = journal::OpenInvoice;
    using LineRow = journal::DistributionLines::Row;
    using Totals = journal::DistributionLines::Totals;

    DisbursementEntry(Database& companyDb, const journal::ControlAccounts& accounts, int sessionId);

    const std::string& invoiceTable() const { return invoiceTable_; }
    const std::string& lineTable() const { return lineTable_; }
    const std::string& totalsTable() const { return totalsTable_; }

    // Re-creates the three work tables empty (cxtmp with its zero row),
    // replacing those of an earlier run.
    void createWorkTables(Database& dataRootDb);

    // Exact look-up of a supplier code; nothing when it is not on file.
    std::optional<Supplier> findSupplier(const std::string& code) const;

    // Starts a disbursement to a supplier: the open-invoice list (one row per
    // invoice number, its ledger rows summed, those netting to zero
    // included) and the distribution preset for the supplier's currency,
    // with its bank account on top when it has one. The entry becomes active.
    void startSupplier(const Supplier& supplier, const std::string& reference);
    // Starts a disbursement not to a supplier: the distribution only.
    void startNotToSupplier();
    // Payments are being typed: they drive the payables and bank rows.
    bool active() const { return active_; }
    const std::optional<Supplier>& supplier() const { return supplier_; }

    std::vector<InvoiceRow> invoices() const;
    // Sets the payment of an open-invoice row; while the entry is active the
    // first payables row and the bank row (the supplier's bank, else the
    // first company bank) follow the new total of payments (debit / credit
    // for a positive total, the other sides for a negative one).
    void setPayment(std::int64_t rowId, Money payment);
    // Pays the invoice's open amount; false when the payment already is it.
    bool payInFull(std::int64_t rowId);
    Money paymentTotal() const { return paymentTotal_; }

    // The distribution as the grid edits it.
    journal::DistributionLines& distribution() { return lines_; }
    std::vector<LineRow> lines() const;
    int lineCount() const;
    // A new row with no account and zero amounts; nothing when the
    // disbursement already has 20 rows.
    std::optional<std::int64_t> addLine();
    // Sets a row's account. 0 or none is accepted only when the row has no
    // amount; any other account must be in the chart, and its description
    // fills the row. Refusals (message 4) change nothing.
    CheckResult setLineAccount(std::int64_t rowId, std::optional<std::int32_t> account);
    void setLineDescription(std::int64_t rowId, const std::string& description);
    // An amount other than 0 clears the row's other side.
    void setLineDebit(std::int64_t rowId, Money debit);
    void setLineCredit(std::int64_t rowId, Money credit);
    void deleteLine(std::int64_t rowId);
    Totals totals() const;

    // The disbursement as typed, for the checks and the posting.
    DisbursementDocument document(Date date, const std::string& reference, const std::string& memo) const;

    // Empties the open-invoice list and the distribution, zeroes the totals
    // and ends the entry (cancel, and after a posting).
    void clear();

private:
    void buildOpenInvoices(const std::string& supplierCode, const std::string& reference);
    void buildDistribution(int currency, std::int32_t supplierBank);
    void applyAutomaticLines();
    void updateTotals();

    Database& db_;
    const journal::ControlAccounts& accounts_;
    int sessionId_ = 0;
    std::string invoiceTable_, lineTable_, totalsTable_;
    journal::DistributionLines lines_;
    std::optional<Supplier> supplier_;
    bool active_ = false;
    Money paymentTotal_;
};

} // namespace vm::cashdisb
