#pragma once
#include "common/core/LinkSection.h"
#include "modules/custmaint/core/ClientRules.h"
#include "modules/custmaint/core/ClientTables.h"

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

namespace vm::custmaint {

// The data module of client maintenance: the company connection (alias
// "ppcustmaint"), the tables and the rules, and the transaction that wraps
// each edit. Transaction calls and the record lock of an edit wait out
// another workstation through the lock retry of the error form.
class Tcustmaint_dm : public QObject {
    Q_OBJECT
public:
    static constexpr char kAlias[] = "ppcustmaint";

    explicit Tcustmaint_dm(QObject* parent = nullptr);
    ~Tcustmaint_dm() override;

    void setErrorForm(forms::TErrorForm* errorForm) { errorForm_ = errorForm; }
    void setLangCode(std::string langCode) { langCode_ = std::move(langCode); }

    // Points the alias at the company directory and opens every table.
    // Throws TableOpenError naming the first table that cannot be opened.
    void open(const std::string& companyDir, const std::string& dataDir);
    // Cancels a pending change, rolls back, lets the tables go and closes
    // the connection.
    void close();
    bool isOpen() const { return tables_ != nullptr; }

    ClientTables& tables() { return *tables_; }
    ClientRules& rules() { return *rules_; }
    Cursor& cli() { return tables_->cli(); }
    Database& database();

    bool inTransaction();
    // Rolls back a stale transaction, starts a new one and puts the current
    // client into edit state, waiting while another workstation holds it.
    // Throws forms::AbortAction when the user gives up (nothing is left
    // open then).
    void beginEdit();
    // Rolls back a stale transaction, starts a new one and inserts a blank
    // client.
    void beginInsert();
    // Writes the row and commits.
    void post();
    // Abandons the change and rolls back.
    void cancel();
    // Deletes the current client in its own transaction.
    void remove();
    void rollbackIfOpen();
    // The transaction object of an edit of the current client.
    forms::RecordEditTransaction editTransaction();

private:
    forms::TErrorForm* errorForm_ = nullptr;
    std::string langCode_;
    Database* company_ = nullptr;
    std::unique_ptr<ClientTables> tables_;
    std::unique_ptr<ClientRules> rules_;
};

} // namespace vm::custmaint
