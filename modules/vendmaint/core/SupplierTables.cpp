#include "modules/vendmaint/core/SupplierTables.h"

#include "common/core/TableOpenError.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

namespace vm::vendmaint {

namespace {

std::unique_ptr<Cursor> open(Database& db, const char* table, bool readOnly = false) {
    try {
        return std::make_unique<Cursor>(db, table, readOnly);
    } catch (const EngineError& e) {
        throw core::TableOpenError(table, e.what());
    }
}

} // namespace

SupplierTables::SupplierTables(Database& company) : company_(company) {
    sup_ = open(company, "sup");
    supLookup_ = open(company, "sup", true);
    {
        auto ctrl = open(company, "ctrl", true);
        glm_ = open(company, "glm", true);
        ctrl->first();
        control_ = SupplierControl::read(*ctrl, *glm_);
    }
    cap_ = open(company, "cap", true);
    cap_->setIndex("Cap_supplier");
}

SupplierTables::~SupplierTables() = default;

Cursor& SupplierTables::caph() {
    if (!caph_) {
        caph_ = std::make_unique<Cursor>(company_, "caph", true);
        caph_->setIndex("Cap_supplier");
    }
    return *caph_;
}

} // namespace vm::vendmaint
