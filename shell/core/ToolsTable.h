#pragma once
#include "engine/TableDef.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::shell {

// One entry of the Tools menu (a row of apps.db).
struct ToolEntry {
    std::string name;      // English caption
    std::string nameFr;    // French caption
    std::string program;   // module code or program name; also the entry's name
    std::string about;     // English hint
    std::string aboutFr;   // French hint
    std::string security;  // option whose right the entry inherits
    bool isModule = false; // true: a module library; false: a separate program
    std::string directory; // working directory of a program; empty = unchanged

    const std::string& caption(int language) const { return language == 1 ? name : nameFr; }
    const std::string& hint(int language) const { return language == 1 ? about : aboutFr; }
};

class ToolsTable {
public:
    static TableDef layout();
    // The Tools entries in table order. When the data root has no apps
    // table it is created with its one designed row, the Tools-menu
    // maintenance entry.
    static std::vector<ToolEntry> load(Database& dataRoot);

    // The state an entry inherits: that of the first option named
    // `security` in the option groups of the general ledger, receivables,
    // payables and invoicing menus, then the system manager's, then payroll
    // and job cost. nullopt when no option has that name (the entry then
    // keeps its designed, enabled state).
    static std::optional<bool> inheritedState(const std::string& security,
                                              const std::function<bool(const std::string&)>& optionEnabled);
};

} // namespace vm::shell
