#include "modules/custmaint/core/ClientTables.h"

#include "common/core/TableOpenError.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

namespace vm::custmaint {

namespace {

std::unique_ptr<Cursor> open(Database& db, const char* table, bool readOnly = false) {
    try {
        return std::make_unique<Cursor>(db, table, readOnly);
    } catch (const EngineError& e) {
        throw core::TableOpenError(table, e.what());
    }
}

} // namespace

ClientTables::ClientTables(Database& company, Database& dataRoot) : company_(company), dataRoot_(dataRoot) {
    cli_ = open(company, "cli");
    cliLookup_ = open(company, "cli", true);
    {
        auto ivctrl = open(company, "ivctrl", true);
        auto ctrl = open(company, "ctrl", true);
        ctrl->first();
        ivctrl->first();
        control_ = ClientControl::read(*ctrl, *ivctrl);
    }
    glm_ = open(company, "glm", true);
    {
        auto formats = open(company, "Fafrm1", true);
        for (bool on = formats->first(); on; on = formats->next()) {
            const std::string name = formats->str("Name");
            if (!name.empty()) invoiceFormats_.push_back(name);
        }
    }
    arterms_ = open(dataRoot, "arterms", true);
    arterr_ = open(dataRoot, "arterr", true);
    car_ = open(company, "car", true);
    car_->setIndex("Car_client");
}

ClientTables::~ClientTables() = default;

Cursor& ClientTables::slsm() {
    if (!slsm_) slsm_ = std::make_unique<Cursor>(company_, "slsm", true);
    return *slsm_;
}

Cursor& ClientTables::carh() {
    if (!carh_) {
        carh_ = std::make_unique<Cursor>(company_, "carh", true);
        carh_->setIndex("Car_client");
    }
    return *carh_;
}

} // namespace vm::custmaint
