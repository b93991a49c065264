#include "report/ReportPrinter.h"

#include "report/PageLayoutQt.h"
#include "report/PageRenderer.h"
#include "report/PdfExporter.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vm::report {

QString PrintOutcome::message(int language) const {
    bool en = language == 1;
    switch (status) {
    case Status::SavedAsPdf:
        return en ? QStringLiteral("No printer is available. The report was saved as %1").arg(pdfPath)
                  : QStringLiteral("Aucune imprimante n'est disponible. Le rapport a été enregistré dans %1")
                        .arg(pdfPath);
    case Status::Failed:
        return en ? QStringLiteral("The report could not be printed: %1").arg(error)
                  : QStringLiteral("Le rapport n'a pas pu être imprimé : %1").arg(error);
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

bool ReportPrinter::printOn(const ReportDocument& doc, QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(toQPageLayout(doc.page));
    printer.setDocName(QString::fromStdString(doc.title));
    int from = 1, to = static_cast<int>(doc.pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(from, printer.fromPage());
        to = std::min(to, printer.toPage() > 0 ? printer.toPage() : to);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int p = from; p <= to; ++p) {
        if (p > from && !printer.newPage()) return false;
        PageRenderer::paint(doc, p - 1, painter, printer.resolution(), printer.resolution());
    }
    return painter.end();
}

PrintOutcome ReportPrinter::print(const ReportDocument& doc, int printerIndex, bool showSetup,
                                  QWidget* parent, const QString& pdfDir) {
    PrintOutcome out;
    QPrinterInfo info;
    const auto printers = QPrinterInfo::availablePrinters();
    if (printerIndex >= 0 && printerIndex < printers.size())
        info = printers.at(printerIndex);
    else if (printerIndex < 0)
        info = QPrinterInfo::defaultPrinter();

    if (info.isNull()) {
        QString dir = pdfDir;
        if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (dir.isEmpty() || !QDir().mkpath(dir)) dir = QDir::homePath();
        out.pdfPath = freePdfPath(dir, doc.title);
        std::string error;
        if (PdfExporter::write(doc, out.pdfPath.toStdString(), &error)) {
            out.status = PrintOutcome::Status::SavedAsPdf;
        } else {
            out.status = PrintOutcome::Status::Failed;
            out.error = QString::fromStdString(error);
        }
        return out;
    }

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageLayout(toQPageLayout(doc.page));
    printer.setDocName(QString::fromStdString(doc.title));
    if (showSetup) {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, std::max(1, static_cast<int>(doc.pages.size())));
        if (dialog.exec() != QDialog::Accepted) {
            out.status = PrintOutcome::Status::Cancelled;
            return out;
        }
    }
    out.printerName = printer.printerName();
    if (printOn(doc, printer)) {
        out.status = PrintOutcome::Status::Printed;
    } else {
        out.status = PrintOutcome::Status::Failed;
        out.error = QStringLiteral("printer %1").arg(printer.printerName());
    }
    return out;
}

PrintOutcome ReportPrinter::printAndTell(const ReportDocument& doc, int printerIndex, bool showSetup,
                                         int language, QWidget* parent, const QString& pdfDir) {
    PrintOutcome out = print(doc, printerIndex, showSetup, parent, pdfDir);
    QString text = out.message(language);
    if (!text.isEmpty()) {
        if (out.status == PrintOutcome::Status::Failed)
            QMessageBox::warning(parent, QString::fromStdString(doc.title), text);
        else
            QMessageBox::information(parent, QString::fromStdString(doc.title), text);
    }
    return out;
}

} // namespace vm::report
