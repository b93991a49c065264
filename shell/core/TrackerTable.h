#pragma once
#include "engine/TableDef.h"

#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::shell {

struct TrackerDatabase {
    int account = 0;
    std::string name;
    int type = 0;
};

// The company's tracker databases (trkdb.db), listed under
// Tracker/Open database.
class TrackerTable {
public:
    static TableDef layout();
    // The rows in key order; the table is created (empty) when the company
    // has none.
    static std::vector<TrackerDatabase> load(Database& company);
};

} // namespace vm::shell
