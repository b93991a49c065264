#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::core {

// How the shell turns the name of a menu entry or desktop shortcut into a
// module code, before any library is loaded.

// A trailing "p" is removed, except from the company-maintenance code
// "firmedit" (any case); then a trailing "f" (a quick entry) is removed.
std::string stripEntrySuffixes(std::string_view entryName);

// A desktop shortcut is named after its option with "S" appended.
bool isShortcutCode(std::string_view code);

// The code to launch for an entry or shortcut name: stripEntrySuffixes, and
// for a shortcut the "S" removed. A shortcut may only start an option of the
// catalogue's code list (disabled options are empty there), so it gives
// nullopt unless the remaining code is one of those entries exactly.
std::optional<std::string> launchCode(std::string_view entryName,
                                      const std::vector<std::string>& catalogueCodes);

// A code names a library file in the program directory; anything that could
// step outside it (a separator, "..", a NUL, an empty code) is not a code.
bool isSafeModuleCode(std::string_view code);

} // namespace vm::core
