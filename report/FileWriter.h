#pragma once
#include <string>
#include <string_view>

namespace vm::report {

// Writes export files whole or not at all: the text goes to a temporary file
// beside the target, which replaces the target only once everything is
// written, so a full disk never leaves half an export behind.
class FileWriter {
public:
    static bool writeAll(const std::string& path, std::string_view data, std::string* error = nullptr);
};

} // namespace vm::report
