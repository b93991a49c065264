#pragma once
#include "report/PageStream.h"

#include <string>
#include <vector>

namespace vm::report {

struct ReportDocument;

// The CSV export of a laid-out report (RFC 4180 quoting, UTF-8, "\n" line
// ends). The first line holds the report's CSV columns; then one line per
// printed band that has exported items (Report::setCsvColumns and
// ReportItem::csvColumn): normally each detail row, and group footers or the
// summary when the report gives their totals a column too. Page headers and
// footers are never exported. Numbers and amounts are written plainly (no
// symbol, no grouping, the mask's decimals) so that spreadsheets read them
// as numbers; other values as printed. Text that a spreadsheet would take
// for a formula gets a leading apostrophe.
class CsvExporter {
public:
    static std::string text(const ReportDocument& doc);
    // Writes the lines page by page as the stream lays them out.
    static WriteOutcome write(PageStream& pages, const std::string& path, std::string* error = nullptr,
                              const Progress& progress = {});
    // Writes the file; false (with a reason) when it cannot be written.
    static bool write(const ReportDocument& doc, const std::string& path, std::string* error = nullptr);
    static std::string quoted(const std::string& cell);
    static void appendLine(std::string& out, const std::vector<std::string>& cells);
};

} // namespace vm::report
