#pragma once
#include "report/DataSource.h"

#include <functional>

namespace vm::report {

// Master rows each followed by their detail rows, as one stream: a client and
// its transactions, a cheque and its invoice lines. A value is looked up in
// the detail row first, then in the master row. Group the report on the
// master's key to print master headers and footers.
//
// detailFor is called once per master row and returns the detail source
// positioned before that master's first detail (for an engine detail cursor
// linked to the master: rewind it and return it). With keepEmptyMasters a
// master without details still yields one groupOnly() row, so that its group
// header and footer print (a statement for a client without transactions).
class MasterDetailDataSource : public DataSource {
public:
    MasterDetailDataSource(DataSource& master, std::function<DataSource&()> detailFor,
                           bool keepEmptyMasters = false)
        : master_(master), detailFor_(std::move(detailFor)), keepEmpty_(keepEmptyMasters) {}

    bool next() override;
    std::vector<std::string> fieldNames() const override;
    Value value(std::string_view name) const override;
    bool hasField(std::string_view name) const override;
    bool groupOnly() const override { return groupOnly_; }

private:
    DataSource& master_;
    std::function<DataSource&()> detailFor_;
    bool keepEmpty_;
    DataSource* detail_ = nullptr;     // the detail being read; null after a groupOnly row
    DataSource* lastDetail_ = nullptr; // for field names of a groupOnly row
    bool groupOnly_ = false;
    bool done_ = false;
};

} // namespace vm::report
