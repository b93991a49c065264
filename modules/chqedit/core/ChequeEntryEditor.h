#pragma once
#include "engine/Date.h"
#include "engine/Money.h"
#include "modules/chqedit/core/ChequeMessage.h"
#include "modules/chqedit/core/ChequeSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::chqedit {

// Which pair of tables the editor works on: the cheque entries
// (apchqh/apchqd) or the recurring templates (recchqh/recchqd), which are
// the same entries without supplier, copied into every new cheque list.
enum class ChequeBook { Entries, Recurring };

// Why an entry cannot be stored: the message to show (kNoMessage: none),
// whether the distribution page is to be shown, and the slot (1..10) whose
// account the user is sent to (0: none).
struct StoreRefusal {
    int message = kNoMessage;
    bool distribution = false;
    int slot = 0;
};

// What became of a line change: the message to show, whether the change was
// taken, and the work row of the line (its row id).
struct LineResult {
    int message = kNoMessage;
    bool accepted = false;
    std::int64_t rowId = 0;
};

// The rules of one cheque entry (or template) on screen, without widgets.
//
// The header is edited in `header()`, a cursor on the company connection;
// the lines are edited in the session's work table apchqdtmp N, on a second
// connection (`work`) so that editing a line never holds the company
// database's write lock while the user types. The stored lines change only
// when the header is stored (`writeDetails`, inside the header's
// transaction) or deleted (`removeDetails`).
//
// Every change of a line's amount or discount keeps the header's amount and
// its words up to date at once; the distribution is recomputed from the
// lines only when needed, guided by `recomputePending()`.
class ChequeEntryEditor {
public:
    // Creates the session's work tables (apchqdtmp N; for the entries also
    // car_temp N, from the data root's template car_temp1).
    static void createWorkTables(Database& company, Database& dataRoot, ChequeBook book, int sessionId);

    // `work` may be `company` itself (a test, a batch run); in a window it is
    // a second connection to the same company directory.
    ChequeEntryEditor(Database& company, Database& work, ChequeBook book, int sessionId);
    ~ChequeEntryEditor();
    ChequeEntryEditor(const ChequeEntryEditor&) = delete;
    ChequeEntryEditor& operator=(const ChequeEntryEditor&) = delete;

    ChequeBook book() const { return book_; }
    bool recurring() const { return book_ == ChequeBook::Recurring; }
    // The language of the amount in words (0/1 English, 2 French).
    void setLanguage(int language) { language_ = language; }
    const ChequeSettings& settings() const { return settings_; }

    Database& company() { return company_; }
    Cursor& header() { return *header_; }
    Cursor& workLines() { return *work_; }
    Cursor& invoiceList(); // car_temp N (the entries only)
    const std::string& workTable() const { return workName_; }

    // --- the entry shown ---------------------------------------------------
    // Copies the stored lines of the current header into the work table and
    // rebuilds the used-invoice list; clears the recompute flag.
    void loadLines();
    bool hasSupplier() const;
    // The supplier's currency, or for a cheque without supplier the
    // position of its bank in the bank list.
    int currency();
    const std::vector<std::string>& usedInvoices() const { return used_; }
    bool recomputePending() const { return recompute_; }
    void clearRecompute() { recompute_ = false; }
    int lineCount();

    // --- the header (in insert or edit state) ------------------------------
    // Defaults of a new entry: next number, date today, the first bank,
    // slots 3 to 9 from the company settings; the work table emptied.
    void newEntry();
    // Leaving the supplier code: an unknown code is cleared (message 12).
    // A code other than `before` copies the supplier's name and address.
    // The bank becomes the supplier's, the payables account its currency's.
    int supplierExit(const std::string& code, const std::string& before);
    // Fills the payee's name and address from a supplier without making the
    // cheque the supplier's. False when there is no such supplier.
    bool copyPayee(const std::string& code);
    // A bank of the list chosen (its position); the words follow its currency.
    void bankChosen(int position);

    // --- lines --------------------------------------------------------------
    // Sets the invoice (or free reference) of a line; rowId 0 makes a new
    // line. A supplier's cheque takes only the supplier's invoices (message
    // 8), each once (message 10); the line's dates are the invoice's.
    LineResult setInvoice(std::int64_t rowId, const std::string& invoice);
    // Sets a line's amount and/or discount; the payment, the cheque amount
    // and its words follow. A template refuses a negative value (message
    // 13) and sets that value to 0.
    int setAmounts(std::int64_t rowId, std::optional<Money> amount, std::optional<Money> discount);
    // A line's date or due date (lines of a cheque without supplier).
    void setLineDate(std::int64_t rowId, const std::string& field, Date date);
    void deleteLine(std::int64_t rowId);

    // --- list of invoices (entries with a supplier) -------------------------
    // The supplier's invoices with an open balance, in invoice order.
    void buildInvoiceList();
    // Appends a line paying the open balance of the invoice chosen in the
    // list; message 10 when it is on the cheque already.
    LineResult chooseInvoice(const std::string& invoice);

    // --- distribution and storing -------------------------------------------
    // Slots 1 to 3 (and 4 for a cheque without supplier) from the lines.
    void recomputeDistribution();
    // Leaving the account field of a slot (3..10): message 1 when the
    // account is not in the chart, message 11 (and the slot's account
    // cleared) when it is a company bank or payables control account.
    int slotAccountExit(int slot);
    // The checks before the header is stored, in their order.
    // `distributionShown`: the user is looking at the distribution.
    std::optional<StoreRefusal> storeRefusal(bool distributionShown);
    // Inside the header's transaction, before the header is written: a new
    // entry takes the next free number under the write lock; the stored
    // lines are replaced by the work lines.
    void writeDetails();
    // Inside the header's transaction, before the header is deleted.
    void removeDetails();
    // The whole store in one transaction: details, then the header.
    // On failure nothing is changed and the header stays in edit.
    void store();
    // The entry and its lines deleted in one transaction.
    void remove();

private:
    bool moveWork(std::int64_t rowId);
    void changeAmount(Money delta);
    void refreshWords();
    bool supplierInvoice(const std::string& supplier, const std::string& invoice, Date* date, Date* due);
    void deleteStoredLines(std::int64_t seq);

    Database& company_;
    Database& workDb_;
    ChequeBook book_;
    std::string headerName_, linesName_, workName_, listName_;
    ChequeSettings settings_;
    std::unique_ptr<Cursor> header_;
    std::unique_ptr<Cursor> work_;
    std::unique_ptr<Cursor> list_;
    std::vector<std::string> used_;
    bool recompute_ = false;
    int language_ = 1;
};

} // namespace vm::chqedit
