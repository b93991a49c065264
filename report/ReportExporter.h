#pragma once
#include "report/PageStream.h"

#include <string>

namespace vm::report {

struct ReportDocument;

// One entry for every export format, for the export dialogs and for modules
// that export without asking (statements to be mailed).
class ReportExporter {
public:
    enum class Format { Pdf = 1, Csv = 2, Text = 3 };

    static bool write(const ReportDocument& doc, Format format, const std::string& path,
                      std::string* error = nullptr);
    // Page by page from a stream, with progress and cancelling; a failed or
    // cancelled export leaves no file.
    static WriteOutcome write(PageStream& pages, Format format, const std::string& path,
                              std::string* error = nullptr, const Progress& progress = {});
    static const char* extension(Format format); // "pdf", "csv", "txt"
    // A file name made from a report title: path separators, characters that
    // file systems refuse and control characters become '_', leading dots and
    // spaces go, and an empty result becomes "report". Never a path.
    static std::string cleanFileName(const std::string& title);
};

} // namespace vm::report
