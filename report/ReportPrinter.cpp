#include "report/ReportPrinter.h"

#include "common/forms/SharedTexts.h"
#include "report/PageLayoutQt.h"
#include "report/PageRenderer.h"
#include "report/PdfExporter.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QStandardPaths>

#include <limits>

namespace vm::report {

namespace {
// Lines of the printer's messages in the shared language table (MainMenu,
// ReportPrinter.IntlStrings1), with their designed English texts.
enum PrinterText { kSavedAsPdf, kNotPrinted, kCancel, kPagesDone };
QString printerText(int language, PrinterText i) {
    static const char* const designed[] = {"No printer is available. The report was saved as %1",
                                           "The report could not be printed: %1", "Cancel",
                                           "Printing: %1 pages done"};
    return forms::sharedText(language, QStringLiteral("ReportPrinter"), i, QString::fromLatin1(designed[i]));
}
} // namespace

QString PrintOutcome::message(int language) const {
    switch (status) {
    case Status::SavedAsPdf:
        return printerText(language, kSavedAsPdf).arg(pdfPath);
    case Status::Failed:
        return printerText(language, kNotPrinted).arg(error);
    case Status::Printed:
    case Status::Cancelled:
        break;
    }
    return {};
}

QString ReportPrinter::freePdfPath(const QString& dir, const std::string& title) {
    QString base = QString::fromStdString(ReportExporter::cleanFileName(title));
    QDir d(dir);
    QString path = d.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = d.filePath(QStringLiteral("%1 (%2).pdf").arg(base).arg(n));
    return path;
}

WriteOutcome ReportPrinter::printOn(PageStream& pages, QPrinter& printer, const Progress& progress) {
    const DocumentInfo& info = pages.info();
    printer.setFullPage(true);
    printer.setPageLayout(toQPageLayout(info.page));
    printer.setDocName(QString::fromStdString(info.title));
    int from = 1, to = std::numeric_limits<int>::max();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        if (printer.toPage() > 0) to = printer.toPage();
    }
    if (!pages.skipTo(from - 1)) return WriteOutcome::Written; // nothing in the range
    QPainter painter;
    if (!painter.begin(&printer)) return WriteOutcome::Failed;
    DocumentPage page;
    for (int p = from; p <= to && pages.next(page); ++p) {
        if (p > from && !printer.newPage()) return WriteOutcome::Failed;
        PageRenderer::paint(page, painter, printer.resolution(), printer.resolution());
        if (progress && !progress(p - from + 1)) {
            printer.abort();
            painter.end();
            return WriteOutcome::Cancelled;
        }
    }
    return painter.end() ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool ReportPrinter::printOn(const ReportDocument& doc, QPrinter& printer) {
    PageStream pages{ReportDocument(doc)};
    return printOn(pages, printer) == WriteOutcome::Written;
}

PrintOutcome ReportPrinter::print(const ReportDocument& doc, int printerIndex, bool showSetup,
                                  QWidget* parent, const QString& pdfDir) {
    PageStream pages{ReportDocument(doc)};
    return print(pages, printerIndex, showSetup, parent, pdfDir);
}

PrintOutcome ReportPrinter::print(PageStream& pages, int printerIndex, bool showSetup, QWidget* parent,
                                  const QString& pdfDir, const Progress& progress) {
    PrintOutcome out;
    const DocumentInfo& info = pages.info();
    QPrinterInfo printerInfo;
    const auto printers = QPrinterInfo::availablePrinters();
    if (printerIndex >= 0 && printerIndex < printers.size())
        printerInfo = printers.at(printerIndex);
    else if (printerIndex < 0)
        printerInfo = QPrinterInfo::defaultPrinter();

    if (printerInfo.isNull()) {
        QString dir = pdfDir;
        if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (dir.isEmpty() || !QDir().mkpath(dir)) dir = QDir::homePath();
        out.pdfPath = freePdfPath(dir, info.title);
        std::string error;
        switch (PdfExporter::write(pages, out.pdfPath.toStdString(), &error, progress)) {
        case WriteOutcome::Written:
            out.status = PrintOutcome::Status::SavedAsPdf;
            break;
        case WriteOutcome::Cancelled:
            out.status = PrintOutcome::Status::Cancelled;
            out.pdfPath.clear();
            break;
        case WriteOutcome::Failed:
            out.status = PrintOutcome::Status::Failed;
            out.error = QString::fromStdString(error);
            break;
        }
        return out;
    }

    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setPageLayout(toQPageLayout(info.page));
    printer.setDocName(QString::fromStdString(info.title));
    if (showSetup) {
        QPrintDialog dialog(&printer, parent);
        // The number of pages is not known before they are laid out.
        dialog.setMinMax(1, 99999);
        if (dialog.exec() != QDialog::Accepted) {
            out.status = PrintOutcome::Status::Cancelled;
            return out;
        }
    }
    out.printerName = printer.printerName();
    switch (printOn(pages, printer, progress)) {
    case WriteOutcome::Written:
        out.status = PrintOutcome::Status::Printed;
        break;
    case WriteOutcome::Cancelled:
        out.status = PrintOutcome::Status::Cancelled;
        break;
    case WriteOutcome::Failed:
        out.status = PrintOutcome::Status::Failed;
        out.error = QStringLiteral("printer %1").arg(printer.printerName());
        break;
    }
    return out;
}

PrintOutcome ReportPrinter::printAndTell(const ReportDocument& doc, int printerIndex, bool showSetup,
                                         int language, QWidget* parent, const QString& pdfDir) {
    PageStream pages{ReportDocument(doc)};
    return printAndTell(pages, printerIndex, showSetup, language, parent, pdfDir);
}

PrintOutcome ReportPrinter::printAndTell(PageStream& pages, int printerIndex, bool showSetup, int language,
                                         QWidget* parent, const QString& pdfDir) {
    QProgressDialog bar(parent);
    bar.setObjectName(QStringLiteral("ProgressPrint"));
    bar.setWindowTitle(QString::fromStdString(pages.info().title));
    bar.setCancelButtonText(printerText(language, kCancel));
    const QString pagesDone = printerText(language, kPagesDone);
    bar.setRange(0, 0);
    bar.setWindowModality(Qt::WindowModal);
    bar.setMinimumDuration(std::numeric_limits<int>::max()); // shown by hand below
    bar.hide();
    QElapsedTimer clock;
    clock.start();
    auto progress = [&](int done) {
        if (!bar.isVisible() && clock.elapsed() > 500) bar.show();
        if (bar.isVisible()) {
            bar.setLabelText(pagesDone.arg(done));
            QCoreApplication::processEvents();
        }
        return !bar.wasCanceled();
    };
    PrintOutcome out = print(pages, printerIndex, showSetup, parent, pdfDir, progress);
    bar.hide();
    QString text = out.message(language);
    if (!text.isEmpty()) {
        const QString title = QString::fromStdString(pages.info().title);
        if (out.status == PrintOutcome::Status::Failed)
            QMessageBox::warning(parent, title, text);
        else
            QMessageBox::information(parent, title, text);
    }
    return out;
}

} // namespace vm::report
