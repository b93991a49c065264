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

Tvendmaint_dm::Tvendmaint_dm(QObject* parent) : QObject(parent) {
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
    if (sup().state() != Cursor::State::Browse) sup().cancel();
    if (company_->inTransaction()) company_->rollback();
    rules_.reset();
    tables_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

Database& Tvendmaint_dm::database() {
    return *company_;
}

forms::RecordEditTransaction Tvendmaint_dm::editTransaction() {
    return forms::RecordEditTransaction(*company_, sup(), errorForm_, qobject_cast<QWidget*>(parent()),
                                        langCode_);
}

bool Tvendmaint_dm::inTransaction() {
    return company_ && company_->inTransaction();
}

void Tvendmaint_dm::rollbackIfOpen() {
    if (inTransaction()) editTransaction().rollbackIfOpen();
}

void Tvendmaint_dm::beginEdit() {
    editTransaction().beginEdit();
}
void Tvendmaint_dm::beginInsert() {
    editTransaction().beginInsert();
}
void Tvendmaint_dm::post() {
    editTransaction().post();
}
void Tvendmaint_dm::cancel() {
    editTransaction().cancel();
}
void Tvendmaint_dm::remove() {
    editTransaction().remove();
}

} // namespace vm::vendmaint
