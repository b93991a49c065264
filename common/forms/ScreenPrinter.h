#pragma once
#include <QString>

class QWidget;

namespace vm::forms {

// "Print screen": prints the picture of a window as it stands, scaled to fit
// the page, on the session's printer (its index in the system's printer
// list, as the session record holds it; the default printer when the index
// is not valid). When the system has no printer the picture goes to a PDF
// file in the user's documents directory (or the temporary directory), named
// after the window and the time, and the user is told where.
// Returns the printer name or the PDF path.
QString printScreen(QWidget& window, const QString& printerIndex);

// The same without any message: for callers and tests that choose the file.
// Writes a PDF to `pdfPath` when it is not empty, else prints as above.
QString printWidget(QWidget& window, const QString& printerIndex, const QString& pdfPath);

} // namespace vm::forms
