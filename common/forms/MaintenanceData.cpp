#include "common/forms/MaintenanceData.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <QWidget>

namespace vm::forms {

RecordEditTransaction MaintenanceData::editTransaction() {
    return RecordEditTransaction(*company_, record(), errorForm_, qobject_cast<QWidget*>(parent()),
                                 langCode_);
}

bool MaintenanceData::inTransaction() const {
    return company_ && company_->inTransaction();
}

void MaintenanceData::rollbackIfOpen() {
    if (inTransaction()) editTransaction().rollbackIfOpen();
}

void MaintenanceData::beginEdit() {
    editTransaction().beginEdit();
}

void MaintenanceData::beginInsert() {
    editTransaction().beginInsert();
}

void MaintenanceData::post() {
    editTransaction().post();
}

void MaintenanceData::cancel() {
    editTransaction().cancel();
}

void MaintenanceData::remove() {
    editTransaction().remove();
}

void MaintenanceData::abandon() {
    if (record().state() != Cursor::State::Browse) record().cancel();
    if (company_->inTransaction()) company_->rollback();
}

} // namespace vm::forms
