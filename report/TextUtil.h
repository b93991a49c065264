#pragma once
#include <string>
#include <string_view>
#include <vector>

// Small text helpers shared by the report writer's files.
namespace vm::report {

bool equalsNoCase(std::string_view a, std::string_view b);
std::string toLowerAscii(std::string_view s);
std::vector<std::string> splitLines(std::string_view text);
// Number of characters (code points) of UTF-8 text, for fixed-width output.
std::size_t utf8Length(std::string_view s);

} // namespace vm::report
