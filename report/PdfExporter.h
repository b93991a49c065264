#pragma once
#include <string>

namespace vm::report {

struct ReportDocument;

// Writes a laid-out report as a PDF file, one PDF page per report page, with
// the report's paper and orientation and its title as the document title.
// The file is written whole or not at all.
class PdfExporter {
public:
    static bool write(const ReportDocument& doc, const std::string& path, std::string* error = nullptr);
};

} // namespace vm::report
