#pragma once
#include "engine/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm::report {

// The rows a report runs over, read once from first to last. Implementations
// wrap an engine cursor, a query or rows in memory; the report writer copies
// only the current row, so the source never has to hold the whole data.
class DataSource {
public:
    virtual ~DataSource() = default;

    // Moves to the next row; the first call moves to the first row. Returns
    // false at the end (and from then on).
    virtual bool next() = 0;
    // The names of the values of a row, in their natural order.
    virtual std::vector<std::string> fieldNames() const = 0;
    // A value of the current row; blank for a name the source does not have.
    virtual Value value(std::string_view name) const = 0;
    // True for a row that carries only group values (a master row without
    // detail rows, see MasterDetailDataSource): it opens and closes its groups
    // but prints no detail band and adds nothing to totals.
    virtual bool groupOnly() const { return false; }
    // Starts again before the first row; false when the source cannot.
    virtual bool rewind() { return false; }

    // Case-insensitive, like the engine's field names.
    virtual bool hasField(std::string_view name) const;
};

} // namespace vm::report
