#include "shell/core/FormGeometry.h"

#include <charconv>
#include <vector>

namespace vm::shell {
namespace {

std::optional<int> toInt(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

} // namespace

FormGeometry FormGeometry::parse(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        items.push_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    FormGeometry g;
    if (items.size() < 4) return g;
    const auto h = toInt(items[0]), l = toInt(items[1]), t = toInt(items[2]), w = toInt(items[3]);
    if (!h || !l || !t || !w || *h <= 0 || *w <= 0) return g;
    g.height = *h;
    g.left = *l;
    g.top = *t;
    g.width = *w;
    g.useStoredPosition = items.size() > 4 && items[4] == "Y";
    return g;
}

std::string FormGeometry::toSetting() const {
    return std::to_string(height) + "," + std::to_string(left) + "," + std::to_string(top) + "," +
           std::to_string(width) + ",Y";
}

} // namespace vm::shell
