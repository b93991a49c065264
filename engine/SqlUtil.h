#pragma once
// Internal to the engine: the building blocks of the statements cursors run,
// the same for every backend.
#include "engine/Backend.h"
#include "engine/EngineError.h"
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <string>
#include <vector>

namespace vm::sql {

std::string quoteIdent(std::string_view name);
std::string lower(std::string_view s);
bool iequal(std::string_view a, std::string_view b);

// Converts a value to what the field stores (text cut to its size; text
// blanks stored as ""); throws kBadValue for a value of the wrong kind.
Value coerce(const FieldDef& f, const Value& v);
// A comparison of the tuple of columns with the tuple of values in index
// order, where a blank (NULL) sorts before everything: op is one of
// ">", ">=", "<", "<=". The values are appended to `params` with their types.
struct Param {
    FieldType type;
    Value value;
};
std::string lexCompare(const backend::Dialect& dialect, const std::vector<std::string>& quotedCols,
                       const std::vector<FieldType>& types, const std::vector<Value>& values, const char* op,
                       std::vector<Param>& params);

} // namespace vm::sql
