#pragma once
#include "common/core/LinkSection.h"
#include "modules/vendmaint/core/SupplierRules.h"
#include "modules/vendmaint/core/SupplierTables.h"

#include "common/forms/RecordEditTransaction.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::forms {
class TErrorForm;
}

namespace vm::vendmaint {

// The data module of supplier maintenance: the company connection (alias
// "supdatabase"), the tables and the rules, and the transaction that wraps
// each edit. Transaction calls and the record lock of an edit wait out
// another workstation through the lock retry of the error form.
class Tvendmaint_dm : public QObject {
    Q_OBJECT
public:
    static constexpr char kAlias[] = "supdatabase";

    explicit Tvendmaint_dm(QObject* parent = nullptr);
    ~Tvendmaint_dm() override;

    void setErrorForm(forms::TErrorForm* errorForm) { errorForm_ = errorForm; }
    void setLangCode(std::string langCode) { langCode_ = std::move(langCode); }

    // Points the alias at the company directory and opens every table.
    // Throws TableOpenError naming the first table that cannot be opened.
    void open(const std::string& companyDir);
    // Cancels a pending change, rolls back, lets the tables go and closes
    // the connection.
    void close();
    bool isOpen() const { return tables_ != nullptr; }

    SupplierTables& tables() { return *tables_; }
    SupplierRules& rules() { return *rules_; }
    Cursor& sup() { return tables_->sup(); }
    Database& database();

    bool inTransaction();
    // Rolls back a stale transaction, starts a new one and puts the current
    // supplier into edit state, waiting while another workstation holds it.
    // Throws forms::AbortAction when the user gives up (nothing is left
    // open then).
    void beginEdit();
    // Rolls back a stale transaction, starts a new one and inserts a blank
    // supplier.
    void beginInsert();
    // Writes the row and commits.
    void post();
    // Abandons the change and rolls back.
    void cancel();
    // Deletes the current supplier in its own transaction.
    void remove();
    void rollbackIfOpen();
    // The transaction object of an edit of the current supplier.
    forms::RecordEditTransaction editTransaction();

private:
    forms::TErrorForm* errorForm_ = nullptr;
    std::string langCode_;
    Database* company_ = nullptr;
    std::unique_ptr<SupplierTables> tables_;
    std::unique_ptr<SupplierRules> rules_;
};

} // namespace vm::vendmaint
