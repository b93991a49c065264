#pragma once
#include "common/forms/RecordEditTransaction.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace vm {
class Cursor;
}

namespace vm::forms {

// Why a record cannot be written: the line of the module's message list to
// show (kNone: none) and the field and page the user is sent back to, as the
// module numbers its fields and pages.
struct MaintenanceRefusal {
    static constexpr int kNone = -1;
    int message = kNone;
    int field = 0;
    int page = 0;
};

// What a maintenance module gives the controller: its fields and messages.
struct MaintenanceSpec {
    std::string codeField;    // the record's key, typed in the code field ("Cli_code")
    std::string nameField;    // names the record in the delete question ("Cli_name")
    std::string createdField; // set to today when entered while empty ("Cli_date_created")
    int generalPage = 0;      // the page shown after every action
    int codeNotFoundMessage = MaintenanceRefusal::kNone;  // a typed code that is not there
    int deleteRefusedMessage = MaintenanceRefusal::kNone; // the record has ledger rows
    int deleteQuestion = MaintenanceRefusal::kNone;       // "Delete ... %1?", %1 the record
    std::set<int> plainMessages; // shown in a plain box; the others in an information box
};

// The module's rules, each called at its moment. `postRefusal` runs the
// module's checks before a write, in the module's order, and copies the
// window's own values into the row when they pass; `hasLedgerRows` is the
// deletion guard, run under the record's lock and the write transaction.
struct MaintenanceRules {
    std::function<bool(const std::string& code)> exists;
    std::function<void(Cursor& row)> newRecordDefaults; // right after insert
    std::function<void(Cursor& row)> newCodeDefaults;   // a new code was typed (may be empty)
    std::function<std::optional<MaintenanceRefusal>(Cursor& row)> postRefusal;
    std::function<bool(const std::string& code)> hasLedgerRows;
    // A record with rows of its own in another table (a cheque and its
    // lines): they are written, and deleted, inside the record's
    // transaction right before the record itself, so that neither is ever
    // stored without the other. Optional.
    std::function<void(Cursor& row)> writeDetails;
    std::function<void(Cursor& row)> removeDetails;
};

// What the window does on the controller's word. Everything here is about
// widgets; the controller never touches one.
class MaintenanceView {
public:
    virtual ~MaintenanceView() = default;
    // Every data control except the code field and its search button.
    virtual void setDataControls(bool enabled) = 0;
    // The code field and its search button: open in browse state (a "go
    // to" field) and while a new record's code is typed, closed otherwise.
    virtual void setCodeField(bool open, bool searchEnabled) = 0;
    virtual void focusCode() = 0; // focus and select its text
    virtual void focusName() = 0;
    virtual void focusField(int field) = 0; // enable and focus a field a refusal names
    virtual void showPage(int page) = 0;
    virtual void showMessage(int message, bool plain) = 0;
    // Asks before a destructive step (the delete question, discarding
    // changes); "No" is the answer unless the user says yes.
    virtual bool confirm(int message, const std::string& detail) = 0;
    // The fields from the row, and the navigator's buttons.
    virtual void reload() = 0;
    // What the window shows of the current row outside the bound fields
    // (drop-downs, currency sign, boxes copied at post).
    virtual void showRecord() = 0;
    // The window's own defaults of a new record (drop-downs, copies).
    virtual void newRecordChoices() = 0;
};

// The record-maintenance state machine shared by the maintenance windows:
// browse, edit and insert of one record at a time over one cursor.
//
// - Browse: data controls off, the code field open; typing a code there and
//   leaving it opens that record for editing, or says it is not there.
// - Edit and insert each run in their own transaction (RecordEditTransaction:
//   a stale one is rolled back first, another workstation's lock is waited
//   out). Insert opens the code field; a code that exists already turns the
//   insert into an edit of that record instead of a duplicate.
// - Post runs the module's checks; a refusal keeps the input and sends the
//   user to the page and field named. Post and delete commit, cancel rolls
//   back; after each the window returns to browse.
// - Delete takes the record's lock and the write transaction first, then
//   asks the module's ledger guard, so that no posting can slip in between.
//
// Engine errors propagate to the caller (the module's exception hook).
class RecordMaintenance {
public:
    enum class Mode { Browse, Edit, Insert };

    RecordMaintenance(RecordEditTransaction transaction, Cursor& row, MaintenanceSpec spec,
                      MaintenanceRules rules, MaintenanceView& view);

    Mode mode() const;
    bool browsing() const { return mode() == Mode::Browse; }
    bool editing() const { return !browsing(); }
    bool inTransaction() const { return transaction_.inTransaction(); }
    const MaintenanceSpec& spec() const { return spec_; }

    // Browse state on the first record.
    void start();

    // The navigator's actions. Each returns the window to a consistent state.
    void insert();
    void edit();
    void post();
    void cancel();
    void remove();
    // After a move (first, prior, next, last) or a look-up found a record.
    void afterMoveAction();

    // The code field: text typed by the user, and leaving it (Enter or focus
    // moving on). `codeExitPending` says whether leaving it means anything.
    void codeEdited();
    bool codeExitPending() const;
    void codeExit(const std::string& code);

    // Each time another record becomes current: re-reads it from disk when
    // nothing of this window is pending, so other workstations' changes show.
    void afterScroll();
    // The "date created" field was entered: an empty one becomes today.
    void enteredCreatedField();
    // Escape while editing: cancels, after asking when there are changes
    // (message `question`). Returns whether the edit was cancelled.
    bool cancelAsking(int question);

private:
    void backToBrowse();
    void openForEdit(const std::string& code);

    RecordEditTransaction transaction_;
    Cursor& row_;
    MaintenanceSpec spec_;
    MaintenanceRules rules_;
    MaintenanceView& view_;
    bool codeTyped_ = false;
    bool inScroll_ = false;
};

} // namespace vm::forms
