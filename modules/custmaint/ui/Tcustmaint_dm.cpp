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

Tcustmaint_dm::Tcustmaint_dm(QObject* parent) : QObject(parent) {
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
    if (cli().state() != Cursor::State::Browse) cli().cancel();
    if (company_->inTransaction()) company_->rollback();
    rules_.reset();
    tables_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

Database& Tcustmaint_dm::database() {
    return *company_;
}

forms::RecordEditTransaction Tcustmaint_dm::editTransaction() {
    return forms::RecordEditTransaction(*company_, cli(), errorForm_, qobject_cast<QWidget*>(parent()),
                                        langCode_);
}

bool Tcustmaint_dm::inTransaction() {
    return company_ && company_->inTransaction();
}

void Tcustmaint_dm::rollbackIfOpen() {
    if (inTransaction()) editTransaction().rollbackIfOpen();
}

void Tcustmaint_dm::beginEdit() {
    editTransaction().beginEdit();
}
void Tcustmaint_dm::beginInsert() {
    editTransaction().beginInsert();
}
void Tcustmaint_dm::post() {
    editTransaction().post();
}
void Tcustmaint_dm::cancel() {
    editTransaction().cancel();
}
void Tcustmaint_dm::remove() {
    editTransaction().remove();
}

} // namespace vm::custmaint
