#pragma once
#include "engine/TableDef.h"

#include <string_view>
#include <vector>

// The layouts of every table of the system, declared once. Field order is the
// order the forms and the position-by-position copies rely on.
namespace vm::schema {

// Tables of the data root shared by all companies: comp, session, apps, user,
// desktop, languages, arterms, arterr, virmem.
const std::vector<TableDef>& systemTables();
// Templates kept in the data root and copied per session: car_temp0,
// car_temp1 (open items) and artmp (distribution lines).
const std::vector<TableDef>& templateTables();
// Every table of a company directory.
const std::vector<TableDef>& companyTables();

// Any of the above by name (case-insensitive, ".db" ignored); nullptr when
// the name is none of them.
const TableDef* findTable(std::string_view name);

// Layouts of the per-session work tables, named without the session suffix.
TableDef carTempLayout(); // car fields, Car_Payment after Car_fed_tax, index Invoice
TableDef distributionLayout(std::string_view name); // artmp / aptmp
TableDef totalsLayout();                            // cxtmp: TotalDebit, TotalCredit
TableDef chequeLinesWorkLayout();                   // apchqdtmp: the cheque line fields, no index
TableDef inquiryWorkLayout();                       // Cartmp: client inquiry running balances

} // namespace vm::schema
