#pragma once
#include "report/DataSource.h"

namespace vm {
class Cursor;
}

namespace vm::report {

// The rows of an engine cursor in its current order, range and filter. The
// cursor is moved by the report; it is not closed. A detail cursor linked to
// a master (Cursor::linkTo) is read again from its first row after rewind().
class CursorDataSource : public DataSource {
public:
    explicit CursorDataSource(Cursor& cursor) : cursor_(cursor) {}

    bool next() override;
    std::vector<std::string> fieldNames() const override;
    Value value(std::string_view name) const override;
    bool hasField(std::string_view name) const override;
    bool rewind() override;

private:
    Cursor& cursor_;
    bool started_ = false;
    bool onRow_ = false;
};

} // namespace vm::report
