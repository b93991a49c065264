#include "common/core/OptionLines.h"

namespace vm::core {

std::string joinOptionLines(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        for (char c : item)
            out += (c == '\n' || c == '\r') ? ' ' : c;
        out += '\n';
    }
    return out;
}

std::vector<std::string> splitOptionLines(const char* text) {
    std::vector<std::string> items;
    if (!text || !*text) return items;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        items.emplace_back(line);
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
    return items;
}

} // namespace vm::core
