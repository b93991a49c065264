#pragma once
#include "common/forms/RecordEditTransaction.h"

#include <QObject>

#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::forms {

class TErrorForm;

// What the data modules of the maintenance windows share: the company
// connection and the transaction that wraps each edit of the maintained
// record. Transaction calls and the record lock of an edit wait out another
// workstation through the lock retry of the error form. The module opens
// its tables, sets `company_` and says which cursor is the record.
class MaintenanceData : public QObject {
public:
    explicit MaintenanceData(QObject* parent = nullptr) : QObject(parent) {}

    void setErrorForm(TErrorForm* errorForm) { errorForm_ = errorForm; }
    void setLangCode(std::string langCode) { langCode_ = std::move(langCode); }

    Database& database() { return *company_; }
    bool inTransaction() const;
    // Rolls back a stale transaction, starts a new one and puts the current
    // record into edit state, waiting while another workstation holds it.
    // Throws forms::AbortAction when the user gives up (nothing is left
    // open then).
    void beginEdit();
    // Rolls back a stale transaction, starts a new one and inserts a blank
    // record.
    void beginInsert();
    // Writes the row and commits.
    void post();
    // Abandons the change and rolls back.
    void cancel();
    // Deletes the current record in its own transaction.
    void remove();
    void rollbackIfOpen();
    // The transaction object of an edit of the current record.
    RecordEditTransaction editTransaction();

protected:
    virtual Cursor& record() = 0;
    // Cancels a pending change and rolls back, without waiting on anyone:
    // the first steps of closing.
    void abandon();

    Database* company_ = nullptr;

private:
    TErrorForm* errorForm_ = nullptr;
    std::string langCode_;
};

} // namespace vm::forms
