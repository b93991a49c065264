#include "modules/vendmaint/ui/Tvendmaint_dm.h"

#include "common/core/TableOpenError.h"
#include "common/forms/RecordEditTransaction.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include <QWidget>

namespace vm::vendmaint {

Tvendmaint_dm::Tvendmaint_dm(QObject* parent) : MaintenanceData(parent) {
    setObjectName(QStringLiteral("vendmaint_dm"));
}

Tvendmaint_dm::~Tvendmaint_dm() {
    try {
        close();
    } catch (...) {
        // Closing after a database failure: nothing more can be saved.
    }
}

void Tvendmaint_dm::open(const std::string& companyDir) {
    Session& session = Session::instance();
    session.setAlias(kAlias, companyDir);
    try {
        company_ = &session.database(kAlias);
    } catch (const EngineError& e) {
        throw core::TableOpenError("sup", e.what());
    }
    tables_ = std::make_unique<SupplierTables>(*company_);
    rules_ = std::make_unique<SupplierRules>(*tables_);
}

void Tvendmaint_dm::close() {
    if (!tables_) return;
    abandon();
    rules_.reset();
    tables_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

} // namespace vm::vendmaint
