#include "modules/custmaint/ui/Tcustmaint_dm.h"

#include "common/core/TableOpenError.h"
#include "common/forms/RecordEditTransaction.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include <QWidget>

namespace vm::custmaint {

Tcustmaint_dm::Tcustmaint_dm(QObject* parent) : MaintenanceData(parent) {
    setObjectName(QStringLiteral("custmaint_dm"));
}

Tcustmaint_dm::~Tcustmaint_dm() {
    try {
        close();
    } catch (...) {
        // Closing after a database failure: nothing more can be saved.
    }
}

void Tcustmaint_dm::open(const std::string& companyDir, const std::string& dataDir) {
    Session& session = Session::instance();
    session.setAlias(kAlias, companyDir);
    Database* root = nullptr;
    try {
        company_ = &session.database(kAlias);
        root = &session.database(dataDir);
    } catch (const EngineError& e) {
        throw core::TableOpenError(company_ ? "arterms" : "cli", e.what());
    }
    tables_ = std::make_unique<ClientTables>(*company_, *root);
    rules_ = std::make_unique<ClientRules>(*tables_);
}

void Tcustmaint_dm::close() {
    if (!tables_) return;
    abandon();
    rules_.reset();
    tables_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

} // namespace vm::custmaint
