#pragma once
#include "modules/vendmaint/core/SupplierControl.h"

#include <memory>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::vendmaint {

// The tables supplier maintenance works on: the supplier being edited and a
// second supplier cursor for existence checks, the chart of accounts, and
// the payables ledger for the deletion guard (its history is opened when
// first needed). The control row is read once.
class SupplierTables {
public:
    // Opens sup (twice), ctrl, glm and cap in the company database. Throws
    // TableOpenError naming the first table that cannot be opened.
    explicit SupplierTables(Database& company);
    ~SupplierTables();
    SupplierTables(const SupplierTables&) = delete;
    SupplierTables& operator=(const SupplierTables&) = delete;

    Database& company() { return company_; }
    Cursor& sup() { return *sup_; }
    Cursor& supLookup() { return *supLookup_; }
    Cursor& glm() { return *glm_; }
    Cursor& cap() { return *cap_; }
    // Opened on first use; engine errors propagate.
    Cursor& caph();

    const SupplierControl& control() const { return control_; }

private:
    Database& company_;
    std::unique_ptr<Cursor> sup_, supLookup_, glm_, cap_, caph_;
    SupplierControl control_;
};

} // namespace vm::vendmaint
