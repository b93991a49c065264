#include "report/VectorDataSource.h"

#include "report/TextUtil.h"

namespace vm::report {

VectorDataSource::VectorDataSource(std::vector<std::string> columns) : columns_(std::move(columns)) {}

void VectorDataSource::addRow(std::vector<Value> row) {
    row.resize(columns_.size());
    rows_.push_back(std::move(row));
}

bool VectorDataSource::next() {
    if (pos_ < rows_.size()) {
        ++pos_;
        return true;
    }
    pos_ = rows_.size() + 1;
    return false;
}

Value VectorDataSource::value(std::string_view name) const {
    if (pos_ == 0 || pos_ > rows_.size()) return {};
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (equalsNoCase(columns_[i], name)) return rows_[pos_ - 1][i];
    return {};
}

bool VectorDataSource::rewind() {
    pos_ = 0;
    return true;
}

} // namespace vm::report
