#pragma once
#include "report/DataSource.h"

namespace vm {
class Query;
}

namespace vm::report {

// The rows of an engine query, read forward once (a query cannot rewind).
class QueryDataSource : public DataSource {
public:
    explicit QueryDataSource(Query& query) : query_(query) {}

    bool next() override;
    std::vector<std::string> fieldNames() const override;
    Value value(std::string_view name) const override;

private:
    Query& query_;
    bool onRow_ = false;
    bool done_ = false;
};

} // namespace vm::report
