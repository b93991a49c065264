#pragma once
#include <QString>

#include <vector>

namespace vm::components {

// One option the quick link can start: its module code, its names and the
// ledger menu it belongs to.
struct QuickLinkOption {
    const char* code;
    QString english;
    QString french;
    bool payables; // under Accounts payable, else Accounts receivable
};

// The options of this system, in the order of the menus.
const std::vector<QuickLinkOption>& quickLinkOptions();

} // namespace vm::components
