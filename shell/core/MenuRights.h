#pragma once
#include "engine/TableDef.h"
#include "schema/UserRights.h"

#include <map>
#include <string>

namespace vm::shell {

// What a user's rights make of the ledger menus: every option of every
// group is enabled exactly when its bit (105 x tag + 15 x group + position)
// is set, and every quick entry takes the state of the option it repeats
// (the option whose name followed by "f" is the quick entry's name). Quick
// entries without such an option, and the tracker's lead entries, are not
// in the result: they keep their designed state.
class MenuRights {
public:
    static std::map<std::string, bool> states(const schema::UserRights& rights);
    static int bitOf(int tag, int group, int position) { return 105 * tag + 15 * group + position; }
};

} // namespace vm::shell
