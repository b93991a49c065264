#pragma once
#include <stdexcept>
#include <string>

namespace vm::core {

// A table a module needs that could not be opened; the window reports it
// with ModuleStartup::tableOpenErrorText and the module ends.
class TableOpenError : public std::runtime_error {
public:
    TableOpenError(std::string table, const std::string& reason)
        : std::runtime_error(reason), table_(std::move(table)) {}
    const std::string& table() const { return table_; }

private:
    std::string table_;
};

} // namespace vm::core
