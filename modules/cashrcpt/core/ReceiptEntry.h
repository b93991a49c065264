#pragma once
#include "common/journal/DistributionLines.h"
#include "engine/Money.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptDocument.h"
#include "modules/cashrcpt/core/ReceiptMessage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::cashrcpt {

// The receipt being typed, kept in the session's work tables of the company
// directory: car_temp N (the client's open invoices, with the payment
// applied to each), artmp N (the distribution lines, at most 20) and cxtmp N
// (one row: the distribution totals). N is the session number, so that
// several workstations enter receipts at once.
//
// The window shows these tables and sends every user change here; the rules
// of an entry (payments feed the automatic receivables and bank lines, a
// debit clears the credit, accounts come from the chart) live here so that
// tests and tools can drive an entry without the window.
class ReceiptEntry {
public:
    struct Client {
        std::string code;
        std::string name;
        std::string email;
        int currency = 0;             // 0..4
        Money balance;                // Cli_current_bal
        std::int64_t creditLimit = 0; // Cli_credit_limit, whole units; 0: none
    };
    using InvoiceRow = journal::OpenInvoice;
    using LineRow = journal::DistributionLines::Row;
    using Totals = journal::DistributionLines::Totals;

    ReceiptEntry(Database& companyDb, const ControlAccounts& accounts, int sessionId);

    const std::string& invoiceTable() const { return invoiceTable_; }
    const std::string& lineTable() const { return lineTable_; }
    const std::string& totalsTable() const { return totalsTable_; }

    // Re-creates the three work tables empty (cxtmp with its zero row) from
    // the data root's templates, replacing those of an earlier run.
    void createWorkTables(Database& dataRootDb);

    // Exact look-up of a client code; nothing when it is not on file.
    std::optional<Client> findClient(const std::string& code) const;

    // Starts a client receipt: the open-invoice list (one row per invoice,
    // its entries summed, fully paid ones included) and the distribution
    // preset for the client's currency. The entry becomes active.
    void startClient(const Client& client, const std::string& reference);
    // Starts a receipt not from a client: the distribution only.
    void startNotFromClient();
    // A client receipt is being entered: payments drive the automatic lines.
    bool active() const { return active_; }
    const std::optional<Client>& client() const { return client_; }

    std::vector<InvoiceRow> invoices() const;
    // Sets the payment of an open-invoice row; while the entry is active the
    // first receivables line and the first bank line follow the new total
    // of payments (credit / debit for a positive total, the other side for a
    // negative one).
    void setPayment(std::int64_t rowId, Money payment);
    // Pays the invoice's open amount; false when the payment already is it.
    bool payInFull(std::int64_t rowId);
    Money paymentTotal() const { return paymentTotal_; }

    // The distribution as the grid edits it.
    journal::DistributionLines& distribution() { return lines_; }
    std::vector<LineRow> lines() const;
    int lineCount() const;
    // A new line with no account and zero amounts; nothing when the receipt
    // already has 20 lines.
    std::optional<std::int64_t> addLine();
    // Sets a line's account. 0 or none is accepted only when the line has no
    // amount greater than 0; any other account must be in the chart, and
    // its description fills the line. Refusals (message 4) change nothing.
    CheckResult setLineAccount(std::int64_t rowId, std::optional<std::int32_t> account);
    void setLineDescription(std::int64_t rowId, const std::string& description);
    // An amount other than 0 clears the line's other side.
    void setLineDebit(std::int64_t rowId, Money debit);
    void setLineCredit(std::int64_t rowId, Money credit);
    void deleteLine(std::int64_t rowId);
    Totals totals() const;

    // The receipt as typed, for the checks and the posting.
    ReceiptDocument document(Date date, const std::string& reference, const std::string& memo,
                             bool nsfCheque) const;

    // Empties the open-invoice list and the distribution, zeroes the totals
    // and ends the entry (cancel, and after a posting).
    void clear();

private:
    void buildOpenInvoices(const std::string& clientCode, const std::string& reference);
    void buildDistribution(int currency);
    void applyAutomaticLines();
    void updateTotals();

    Database& db_;
    const ControlAccounts& accounts_;
    int sessionId_ = 0;
    std::string invoiceTable_, lineTable_, totalsTable_;
    journal::DistributionLines lines_;
    std::optional<Client> client_;
    bool active_ = false;
    Money paymentTotal_;
};

} // namespace vm::cashrcpt
