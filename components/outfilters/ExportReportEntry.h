#pragma once
// The call shape of the export dialog components (outfilters, outfilters1),
// for the modules that load them by name.

class QWidget;

namespace vm::report {
class Report;
}

#ifndef VM_EXPORT
#define VM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// Shows the modal export dialog for the report: PDF, CSV or text, and a file
// named after the report title. The report is laid out (its data source read)
// only when the user confirms. language: 1 English, else French; parent may
// be null. Returns 1 when the file was written, 0 when the user cancelled.
VM_EXPORT int ExportReport(const vm::report::Report* report, int language, QWidget* parent);

// outfilters1 only: exports without asking to `path` exactly (UTF-8), format
// 1 PDF, 2 CSV, 3 text. Returns 1 when written, 0 otherwise (nothing
// written, no half file left).
VM_EXPORT int ExportReportToFile(const vm::report::Report* report, const char* path, int format);
}

namespace vm::components {
using ExportReportFunction = int (*)(const vm::report::Report*, int, QWidget*);
using ExportReportToFileFunction = int (*)(const vm::report::Report*, const char*, int);
inline constexpr const char* kExportReportSymbol = "ExportReport";
inline constexpr const char* kExportReportToFileSymbol = "ExportReportToFile";
} // namespace vm::components
