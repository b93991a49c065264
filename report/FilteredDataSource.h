#pragma once
#include "report/DataSource.h"

#include <functional>

namespace vm::report {

class Row;

// The rows of another source that pass a selection test (code ranges,
// territory patterns and the like that the query cannot express).
class FilteredDataSource : public DataSource {
public:
    FilteredDataSource(DataSource& source, std::function<bool(const DataSource&)> accept)
        : source_(source), accept_(std::move(accept)) {}

    bool next() override;
    std::vector<std::string> fieldNames() const override { return source_.fieldNames(); }
    Value value(std::string_view name) const override { return source_.value(name); }
    bool hasField(std::string_view name) const override { return source_.hasField(name); }
    bool groupOnly() const override { return source_.groupOnly(); }
    bool rewind() override { return source_.rewind(); }

private:
    DataSource& source_;
    std::function<bool(const DataSource&)> accept_;
};

} // namespace vm::report
