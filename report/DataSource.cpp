#include "report/DataSource.h"

#include "report/TextUtil.h"

namespace vm::report {

bool DataSource::hasField(std::string_view name) const {
    for (auto& n : fieldNames())
        if (equalsNoCase(n, name)) return true;
    return false;
}

} // namespace vm::report
