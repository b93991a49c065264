#include "report/FilteredDataSource.h"

namespace vm::report {

bool FilteredDataSource::next() {
    while (source_.next())
        if (!accept_ || accept_(source_)) return true;
    return false;
}

} // namespace vm::report
