#pragma once
#include "report/ReportBand.h"

#include <functional>
#include <string>

namespace vm::report {

// A group of consecutive detail rows sharing a key (a client, a supplier).
// The data must come in key order; a new group starts where the key changes.
struct ReportGroup {
    std::string keyField;                 // the key is this value of the row...
    std::function<Value(const Row&)> key; // ...or what this returns, when set
    ReportBand header{BandKind::GroupHeader};
    ReportBand footer{BandKind::GroupFooter};
};

} // namespace vm::report
