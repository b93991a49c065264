#pragma once
#include <stdexcept>
#include <string>

namespace vm::core {

// Stands in for an exception that escaped a module when the original cannot
// outlive the module: its type and code belong to the library that is being
// unloaded. Carries the module code and the original what() text.
class ModuleException : public std::runtime_error {
public:
    ModuleException(std::string moduleCode, const std::string& message)
        : std::runtime_error(message), moduleCode_(std::move(moduleCode)) {}

    const std::string& moduleCode() const { return moduleCode_; }

private:
    std::string moduleCode_;
};

} // namespace vm::core
