#pragma once
#include "report/PageStream.h"

#include <QString>

class QPrinter;
class QWidget;

namespace vm::report {

struct ReportDocument;

// What became of a print request.
struct PrintOutcome {
    enum class Status { Printed, SavedAsPdf, Cancelled, Failed };
    Status status = Status::Failed;
    QString printerName; // Printed
    QString pdfPath;     // SavedAsPdf: where the pages went
    QString error;       // Failed

    bool ok() const { return status == Status::Printed || status == Status::SavedAsPdf; }
    // What to tell the user (English when language is 1, else French); empty
    // when the pages simply went to the printer or the user cancelled.
    QString message(int language) const;
};

// Prints laid-out reports on the session's printer: the printer at
// printerIndex in QPrinterInfo::availablePrinters() (a negative index means
// the system's default printer). When there is no such printer the pages are
// saved as a PDF file instead, in pdfDir (the user's documents folder when
// empty), named after the report title, never replacing an existing file.
//
// Pages are painted as they are laid out and let go. printAndTell shows the
// pages done in a progress window (after half a second) whose Cancel stops
// the job: the printer job is aborted, a PDF is not left behind.
class ReportPrinter {
public:
    static PrintOutcome print(PageStream& pages, int printerIndex, bool showSetup = false,
                              QWidget* parent = nullptr, const QString& pdfDir = {},
                              const Progress& progress = {});
    static PrintOutcome printAndTell(PageStream& pages, int printerIndex, bool showSetup, int language,
                                     QWidget* parent, const QString& pdfDir = {});
    static WriteOutcome printOn(PageStream& pages, QPrinter& printer, const Progress& progress = {});
    // With showSetup the print set-up dialog comes first and its choices
    // (printer, pages, copies) hold; cancelling it prints nothing.
    static PrintOutcome print(const ReportDocument& doc, int printerIndex, bool showSetup = false,
                              QWidget* parent = nullptr, const QString& pdfDir = {});
    // As print(), then tells the user where a PDF went or why printing failed.
    static PrintOutcome printAndTell(const ReportDocument& doc, int printerIndex, bool showSetup,
                                     int language, QWidget* parent, const QString& pdfDir = {});
    // Paints the pages (all, or the printer's from/to range) on a set-up printer.
    static bool printOn(const ReportDocument& doc, QPrinter& printer);
    // A file path in dir for the title that does not exist yet ("title.pdf",
    // "title (2).pdf", ...).
    static QString freePdfPath(const QString& dir, const std::string& title);
};

} // namespace vm::report
