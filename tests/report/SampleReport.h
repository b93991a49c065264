#pragma once
#include "report/Report.h"
#include "report/ReportDocument.h"
#include "report/VectorDataSource.h"

#include <memory>
#include <string>

namespace vm::test {

// A client list grouped by territory over 120 rows: enough for several
// pages, groups running over page ends, and names that need CSV quoting.
struct SampleReport {
    SampleReport();
    std::unique_ptr<report::VectorDataSource> data;
    report::Report report;
};

// Reads a reference file of tests/golden/report; with VM_UPDATE_GOLDEN set
// in the environment, writes `actual` there instead.
std::string golden(const std::string& name, const std::string& actual);
std::string readFile(const std::string& path);
// The one QApplication of the test program (offscreen), made on first use.
void ensureApplication();

} // namespace vm::test
