#pragma once
#include "report/PageStream.h"

#include <string>

namespace vm::report {

struct ReportDocument;

// The plain-text export of a laid-out report: fixed-width lines, one text
// line per line of each printed band, positions mapped to columns of 6
// points (12 characters to the inch) and rows of the default font's line
// height. It reads as one continuous listing: the first page's header and
// the title once, then every band in order; page footers and the headers
// repeated on later pages are left out. Text never overwrites text: an item
// that would overlap the previous one on its line moves right.
class TextExporter {
public:
    static constexpr double kPointsPerColumn = 6.0;
    static std::string text(const ReportDocument& doc);
    static bool write(const ReportDocument& doc, const std::string& path, std::string* error = nullptr);
    // Writes the lines page by page as the stream lays them out.
    static WriteOutcome write(PageStream& pages, const std::string& path, std::string* error = nullptr,
                              const Progress& progress = {});

private:
    class Lines;
};

} // namespace vm::report
