#pragma once
#include "common/core/LinkSection.h"
#include "modules/vendmaint/core/SupplierRules.h"
#include "modules/vendmaint/core/SupplierTables.h"

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

namespace vm::vendmaint {

// The data module of supplier maintenance: the company connection (alias
// "supdatabase"), the tables and the rules; the transaction of each
// edit is the shared MaintenanceData's.
class Tvendmaint_dm : public forms::MaintenanceData {
    Q_OBJECT
public:
    static constexpr char kAlias[] = "supdatabase";

    explicit Tvendmaint_dm(QObject* parent = nullptr);
    ~Tvendmaint_dm() override;

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

protected:
    Cursor& record() override { return sup(); }

private:
    std::unique_ptr<SupplierTables> tables_;
    std::unique_ptr<SupplierRules> rules_;
};

} // namespace vm::vendmaint
