#pragma once
#include "engine/TableDef.h"

#include <vector>

// The declarations by area; Tables.cpp assembles them.
namespace vm::schema {
class TableBuilder;
}

namespace vm::schema::detail {

// Account1..n, Debit1..n, Credit1..n of the stored entry records.
TableBuilder& distributionColumns(TableBuilder& t, int lines);

std::vector<TableDef> systemTableDefs();
std::vector<TableDef> masterTableDefs();
std::vector<TableDef> employeeTableDefs();
std::vector<TableDef> receivablesTableDefs();
std::vector<TableDef> payablesTableDefs();
std::vector<TableDef> chequeTableDefs();
std::vector<TableDef> invoicingTableDefs();

} // namespace vm::schema::detail
