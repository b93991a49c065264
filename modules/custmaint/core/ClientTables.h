#pragma once
#include "modules/custmaint/core/ClientControl.h"

#include <memory>
#include <string>
#include <vector>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::custmaint {

// The tables client maintenance works on: the client being edited and a
// second client cursor for existence checks, the control rows, the chart of
// accounts, the shared terms and territories of the data root, and the
// receivables ledger for the deletion guard. The salesmen and the ledger
// history are opened when first needed.
class ClientTables {
public:
    // Opens cli (twice), ivctrl, ctrl, glm and Fafrm1 in the company
    // database, arterms and arterr in the data root, then car. The control
    // values and the invoice-format names are read once here; those tables
    // are not kept open. Throws TableOpenError naming the first table that
    // cannot be opened.
    ClientTables(Database& company, Database& dataRoot);
    ~ClientTables();
    ClientTables(const ClientTables&) = delete;
    ClientTables& operator=(const ClientTables&) = delete;

    Database& company() { return company_; }
    Database& dataRoot() { return dataRoot_; }

    Cursor& cli() { return *cli_; }
    Cursor& cliLookup() { return *cliLookup_; }
    Cursor& glm() { return *glm_; }
    Cursor& arterms() { return *arterms_; }
    Cursor& arterr() { return *arterr_; }
    Cursor& car() { return *car_; }
    // Opened on first use; engine errors propagate.
    Cursor& slsm();
    Cursor& carh();

    const ClientControl& control() const { return control_; }
    const std::vector<std::string>& invoiceFormats() const { return invoiceFormats_; }

private:
    Database& company_;
    Database& dataRoot_;
    std::unique_ptr<Cursor> cli_, cliLookup_, glm_, arterms_, arterr_, car_, slsm_, carh_;
    ClientControl control_;
    std::vector<std::string> invoiceFormats_;
};

} // namespace vm::custmaint
