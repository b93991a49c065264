// The engine header first: its field-type names must precede vm::Bytes.
#include "report/CursorDataSource.h"
#include "engine/Cursor.h"

namespace vm::report {

bool CursorDataSource::next() {
    if (!started_) {
        started_ = true;
        onRow_ = cursor_.first() && cursor_.hasRow();
        return onRow_;
    }
    if (!onRow_) return false;
    // At the last row the cursor stays put and only sets eof().
    onRow_ = cursor_.next() && !cursor_.eof() && cursor_.hasRow();
    return onRow_;
}

std::vector<std::string> CursorDataSource::fieldNames() const {
    std::vector<std::string> names;
    for (auto& f : cursor_.def().fields)
        names.push_back(f.name);
    return names;
}

Value CursorDataSource::value(std::string_view name) const {
    if (!onRow_ || !cursor_.hasField(name)) return {};
    return cursor_.value(name);
}

bool CursorDataSource::hasField(std::string_view name) const {
    return cursor_.hasField(name);
}

bool CursorDataSource::rewind() {
    started_ = false;
    onRow_ = false;
    return true;
}

} // namespace vm::report
