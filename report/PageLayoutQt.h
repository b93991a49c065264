#pragma once
#include <QPageLayout>

namespace vm::report {

struct PageSetup;

// The Qt page layout of a report's paper and orientation, with no margins:
// the report places everything itself, from the paper's corner.
QPageLayout toQPageLayout(const PageSetup& setup);

} // namespace vm::report
