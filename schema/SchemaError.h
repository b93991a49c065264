#pragma once
#include <stdexcept>
#include <string>

namespace vm::schema {

// A data root, company or work table that cannot be created as asked (bad
// argument, already there, not a data root). Nothing was created.
class SchemaError : public std::runtime_error {
public:
    explicit SchemaError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace vm::schema
