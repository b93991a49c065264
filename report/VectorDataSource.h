#pragma once
#include "report/DataSource.h"

#include <initializer_list>

namespace vm::report {

// Rows held in memory: small reports, work lists built by a module's core,
// and tests.
class VectorDataSource : public DataSource {
public:
    explicit VectorDataSource(std::vector<std::string> columns);
    // Each row has one value per column; a short row is padded with blanks.
    void addRow(std::vector<Value> row);
    std::size_t rowCount() const { return rows_.size(); }

    bool next() override;
    std::vector<std::string> fieldNames() const override { return columns_; }
    Value value(std::string_view name) const override;
    bool rewind() override;

private:
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
    std::size_t pos_ = 0; // 1-based position of the current row; 0 before the first
};

} // namespace vm::report
