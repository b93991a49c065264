#include "report/Row.h"

#include "report/DataSource.h"
#include "report/TextUtil.h"

namespace vm::report {

Row Row::capture(const DataSource& source) {
    Row r;
    for (auto& name : source.fieldNames())
        r.values_.emplace_back(name, source.value(name));
    return r;
}

int Row::indexOf(std::string_view name) const {
    for (std::size_t i = 0; i < values_.size(); ++i)
        if (equalsNoCase(values_[i].first, name)) return static_cast<int>(i);
    return -1;
}

Value Row::value(std::string_view name) const {
    int i = indexOf(name);
    return i < 0 ? Value() : values_[static_cast<std::size_t>(i)].second;
}

bool Row::has(std::string_view name) const {
    return indexOf(name) >= 0;
}

void Row::set(std::string_view name, Value v) {
    int i = indexOf(name);
    if (i < 0)
        values_.emplace_back(std::string(name), std::move(v));
    else
        values_[static_cast<std::size_t>(i)].second = std::move(v);
}

} // namespace vm::report
