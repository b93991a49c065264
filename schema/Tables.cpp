#include "schema/Tables.h"

#include "engine/Database.h"
#include "schema/TableGroups.h"

#include <algorithm>
#include <cctype>

namespace vm::schema {
namespace {

void append(std::vector<TableDef>& to, std::vector<TableDef> more) {
    for (auto& t : more)
        to.push_back(std::move(t));
}

TableDef renamed(TableDef def, std::string name) {
    def.name = std::move(name);
    return def;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const std::vector<TableDef>& systemTables() {
    static const std::vector<TableDef> tables = detail::systemTableDefs();
    return tables;
}

const std::vector<TableDef>& templateTables() {
    // car_temp0 serves the receivables window, car_temp1 the payables ones.
    static const std::vector<TableDef> tables = {renamed(carTempLayout(), "car_temp0"),
                                                 renamed(carTempLayout(), "car_temp1"),
                                                 distributionLayout("artmp")};
    return tables;
}

const std::vector<TableDef>& companyTables() {
    static const std::vector<TableDef> tables = [] {
        std::vector<TableDef> t;
        append(t, detail::masterTableDefs());
        append(t, detail::employeeTableDefs());
        append(t, detail::receivablesTableDefs());
        append(t, detail::payablesTableDefs());
        append(t, detail::chequeTableDefs());
        append(t, detail::invoicingTableDefs());
        return t;
    }();
    return tables;
}

const TableDef* findTable(std::string_view name) {
    std::string stem;
    try {
        stem = Database::canonicalName(name);
    } catch (...) {
        return nullptr;
    }
    for (const auto* list : {&systemTables(), &templateTables(), &companyTables()})
        for (const auto& t : *list)
            if (sameName(t.name, stem)) return &t;
    return nullptr;
}

} // namespace vm::schema
