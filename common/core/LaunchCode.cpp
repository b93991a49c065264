#include "common/core/LaunchCode.h"

#include <algorithm>

namespace vm::core {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto low = [](char c) {
                   return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return low(x) == low(y);
           });
}

} // namespace

std::string stripEntrySuffixes(std::string_view entryName) {
    std::string code(entryName);
    if (!equalsNoCase(code, "firmedit") && !code.empty() && code.back() == 'p') code.pop_back();
    if (!code.empty() && code.back() == 'f') code.pop_back();
    return code;
}

bool isShortcutCode(std::string_view code) {
    return !code.empty() && code.back() == 'S';
}

std::optional<std::string> launchCode(std::string_view entryName,
                                      const std::vector<std::string>& catalogueCodes) {
    std::string code = stripEntrySuffixes(entryName);
    if (!isShortcutCode(code)) return code;
    code.pop_back();
    if (code.empty() || std::find(catalogueCodes.begin(), catalogueCodes.end(), code) == catalogueCodes.end())
        return std::nullopt;
    return code;
}

bool isSafeModuleCode(std::string_view code) {
    return !code.empty() && code != "." && code != ".." &&
           code.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

} // namespace vm::core
