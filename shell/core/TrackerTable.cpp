#include "shell/core/TrackerTable.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::shell {

TableDef TrackerTable::layout() {
    TableDef def;
    def.name = "trkdb";
    def.fields = {
        {"Trkdb_account", FieldType::Int32, 0, true},
        {"Trkdb_name", FieldType::Text, 60, true},
        {"Trkdb_type", FieldType::Int32, 0, true},
    };
    def.primaryKey = {"Trkdb_account"};
    return def;
}

std::vector<TrackerDatabase> TrackerTable::load(Database& company) {
    if (!company.tableExists("trkdb")) company.createTable(layout());
    std::vector<TrackerDatabase> rows;
    Cursor c(company, "trkdb", true);
    for (bool ok = c.first(); ok; ok = c.next())
        rows.push_back({static_cast<int>(c.integer("Trkdb_account")), c.str("Trkdb_name"),
                        static_cast<int>(c.integer("Trkdb_type"))});
    return rows;
}

} // namespace vm::shell
