#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vm::core {

// The option catalogue travels to the Tools-menu maintenance module as two
// C strings, each item followed by '\n'. A line break inside an item would
// shift every later line and break the pairing of captions with codes, so
// joining turns CR and LF inside an item into spaces. Empty items (disabled
// options) keep their place, the last one included.
std::string joinOptionLines(const std::vector<std::string>& items);

// The inverse of joinOptionLines. Every '\n' ends an item and text after
// the last one is an item too; a CR before an LF is dropped; a null or empty
// text is an empty list.
std::vector<std::string> splitOptionLines(const char* text);

} // namespace vm::core
