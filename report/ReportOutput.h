#pragma once
#include "report/PageStream.h"

class QWidget;

namespace vm::report {

// What a report window's Print, Preview and Export buttons do with its
// pages, page by page.
enum class ReportOutput { Print, Preview, Export };

// Print goes to `printer` (the print set-up dialog first when `showSetup`)
// and tells the outcome; Preview opens the preview window, whose own Print
// uses `previewPrinter`; Export runs the export dialog. Returns whether the
// output was made (false when the export dialog was cancelled).
bool outputReport(ReportOutput output, StreamFactory pages, int printer, int previewPrinter, bool showSetup,
                  int language, QWidget* parent);

} // namespace vm::report
