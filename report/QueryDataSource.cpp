// The engine header first: its field-type names must precede vm::Bytes.
#include "report/QueryDataSource.h"
#include "engine/Cursor.h"

#include "report/TextUtil.h"

namespace vm::report {

bool QueryDataSource::next() {
    if (done_) return false;
    onRow_ = query_.next();
    done_ = !onRow_;
    return onRow_;
}

std::vector<std::string> QueryDataSource::fieldNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < query_.columnCount(); ++i)
        names.push_back(query_.columnName(i));
    return names;
}

Value QueryDataSource::value(std::string_view name) const {
    if (!onRow_) return {};
    for (int i = 0; i < query_.columnCount(); ++i)
        if (equalsNoCase(query_.columnName(i), name)) return query_.value(i);
    return {};
}

} // namespace vm::report
