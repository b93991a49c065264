#pragma once
#include <functional>
#include <string>

class QWidget;

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::forms {

class TErrorForm;

// The transaction of a maintenance window around one record: started on
// edit or insert, committed after post or delete, rolled back on cancel.
// Every transaction call and the record lock of an edit or delete go through
// the lock retry, so another workstation's lock is waited out with the
// window alive; when the user gives up (forms::AbortAction) nothing is left
// open. Holds no state of its own: the transaction is the database's and the
// row's state the cursor's.
class RecordEditTransaction {
public:
    RecordEditTransaction(Database& db, Cursor& cursor, TErrorForm* errorForm, QWidget* owner,
                          std::string langCode);

    bool inTransaction() const;
    // Rolls back a stale transaction, starts a new one and puts the current
    // row into edit state.
    void beginEdit();
    // Rolls back a stale transaction, starts a new one and inserts a blank row.
    void beginInsert();
    // Writes the row and commits.
    void post();
    // Abandons the change and rolls back.
    void cancel();
    // Deletes the current row in its own transaction.
    void remove();
    // Deletes the current row in its own transaction unless `refused` says
    // no. The write transaction and the row's lock are taken first and the
    // guard runs under them, so that nothing it looks at (a client's ledger
    // rows) can change before the row goes. Returns whether it was deleted;
    // a refusal leaves nothing open.
    bool removeUnless(const std::function<bool()>& refused);
    void rollbackIfOpen();

private:
    void withRetry(const std::function<void()>& operation);
    // Runs a row action inside a (new) transaction; rolls back when it fails.
    void inTransactionDo(const std::function<void()>& action);

    Database& db_;
    Cursor& cursor_;
    TErrorForm* errorForm_;
    QWidget* owner_;
    std::string langCode_;
};

} // namespace vm::forms
