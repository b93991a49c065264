#include "modules/vendmaint/Tvendmaint_dm.h"

#include "common/forms/AbortAction.h"
#include "common/forms/LockRetry.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "modules/vendmaint/core/TableOpenError.h"

namespace vm::vendmaint {

Tvendmaint_dm::Tvendmaint_dm(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("vendmaint_dm"));
}

Tvendmaint_dm::~Tvendmaint_dm()
{
    try {
        close();
    } catch (...) {
        // Closing after a database failure: nothing more can be saved.
    }
}

void Tvendmaint_dm::open(const std::string& companyDir)
{
    Session& session = Session::instance();
    session.setAlias(kAlias, companyDir);
    try {
        company_ = &session.database(kAlias);
    } catch (const EngineError& e) {
        throw TableOpenError("sup", e.what());
    }
    tables_ = std::make_unique<SupplierTables>(*company_);
    rules_ = std::make_unique<SupplierRules>(*tables_);
}

void Tvendmaint_dm::close()
{
    if (!tables_)
        return;
    if (sup().state() != Cursor::State::Browse)
        sup().cancel();
    if (company_->inTransaction())
        company_->rollback();
    rules_.reset();
    tables_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

Database& Tvendmaint_dm::database()
{
    return *company_;
}

bool Tvendmaint_dm::inTransaction()
{
    return company_ && company_->inTransaction();
}

void Tvendmaint_dm::withRetry(const std::function<void()>& operation)
{
    forms::LockRetry retry(errorForm_, qobject_cast<QWidget*>(parent()));
    retry.setLanguage(langCode_);
    retry.run(operation);
}

void Tvendmaint_dm::rollbackIfOpen()
{
    if (inTransaction())
        withRetry([this] { company_->rollback(); });
}

void Tvendmaint_dm::beginEdit()
{
    rollbackIfOpen();
    try {
        withRetry([this] {
            if (!company_->inTransaction())
                company_->startTransaction();
            sup().edit();
        });
    } catch (...) {
        if (company_->inTransaction())
            company_->rollback();
        throw;
    }
}

void Tvendmaint_dm::beginInsert()
{
    rollbackIfOpen();
    withRetry([this] { company_->startTransaction(); });
    sup().insert();
}

void Tvendmaint_dm::post()
{
    sup().post();
    if (inTransaction())
        withRetry([this] { company_->commit(); });
}

void Tvendmaint_dm::cancel()
{
    if (sup().state() != Cursor::State::Browse)
        sup().cancel();
    rollbackIfOpen();
}

void Tvendmaint_dm::remove()
{
    rollbackIfOpen();
    try {
        withRetry([this] {
            if (!company_->inTransaction())
                company_->startTransaction();
            sup().remove();
        });
    } catch (...) {
        if (company_->inTransaction())
            company_->rollback();
        throw;
    }
    withRetry([this] { company_->commit(); });
}

} // namespace vm::vendmaint
