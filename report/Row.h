#pragma once
#include "engine/Value.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm::report {

class DataSource;

// A copy of one row of a data source. The report writer keeps the previous
// row so that group footers, printed after the source has moved on, still
// show the values of the group they close. Names are matched without regard
// to case.
class Row {
public:
    Row() = default;
    static Row capture(const DataSource& source);

    Value value(std::string_view name) const; // blank when absent
    bool has(std::string_view name) const;
    void set(std::string_view name, Value v);
    const std::vector<std::pair<std::string, Value>>& values() const { return values_; }
    bool empty() const { return values_.empty(); }

private:
    int indexOf(std::string_view name) const;
    std::vector<std::pair<std::string, Value>> values_;
};

} // namespace vm::report
