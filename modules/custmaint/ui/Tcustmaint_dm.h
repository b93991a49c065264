#pragma once
#include "common/core/LinkSection.h"
#include "modules/custmaint/core/ClientRules.h"
#include "modules/custmaint/core/ClientTables.h"

#include "common/forms/MaintenanceData.h"

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
// "ppcustmaint"), the tables and the rules; the transaction of each
// edit is the shared MaintenanceData's.
class Tcustmaint_dm : public forms::MaintenanceData {
    Q_OBJECT
public:
    static constexpr char kAlias[] = "ppcustmaint";

    explicit Tcustmaint_dm(QObject* parent = nullptr);
    ~Tcustmaint_dm() override;

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

protected:
    Cursor& record() override { return cli(); }

private:
    std::unique_ptr<ClientTables> tables_;
    std::unique_ptr<ClientRules> rules_;
};

} // namespace vm::custmaint
