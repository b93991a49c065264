#pragma once
#include <string>
#include <utility>
#include <vector>

namespace vm::shell {

// The menu captions that international terminology replaces, by option
// name, for the session language (1 English, anything else French).
class Terminology {
public:
    static std::vector<std::pair<std::string, std::string>> menuReplacements(int language);
};

} // namespace vm::shell
