#pragma once
#include "report/PageStream.h"

#include <string>

namespace vm::report {

struct ReportDocument;

// Writes a laid-out report as a PDF file, one PDF page per report page, with
// the report's paper and orientation and its title as the document title.
// Pages are painted into the file as they come and let go. The file is
// written whole or not at all: a failed or cancelled export leaves no file
// (and an existing file of that name as it was).
class PdfExporter {
public:
    static WriteOutcome write(PageStream& pages, const std::string& path, std::string* error = nullptr,
                              const Progress& progress = {});
    static bool write(const ReportDocument& doc, const std::string& path, std::string* error = nullptr);
};

} // namespace vm::report
