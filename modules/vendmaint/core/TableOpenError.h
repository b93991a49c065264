#pragma once
#include <stdexcept>
#include <string>

namespace vm::vendmaint {

// A table of the module that could not be opened; the window reports it as
// "Error opening table <name>." and the module ends.
class TableOpenError : public std::runtime_error {
public:
    TableOpenError(std::string table, const std::string& reason)
        : std::runtime_error(reason), table_(std::move(table)) {}
    const std::string& table() const { return table_; }

private:
    std::string table_;
};

} // namespace vm::vendmaint
