#pragma once
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <QVariant>

namespace vm::forms {

// How grids show one value: money with the currency, dates in the short date
// format, numbers aligned right.
QVariant gridDisplay(const Value& value, FieldType type);
QVariant gridAlignment(FieldType type);
// The kind of a value whose field type is unknown (a computed query column).
FieldType typeOfValue(const Value& value);

} // namespace vm::forms
