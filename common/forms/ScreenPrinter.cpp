#include "common/forms/ScreenPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWidget>

namespace vm::forms {

namespace {

QString pdfPathFor(const QWidget& window) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::tempPath();
    // The window name is a designed identifier, but keep the file name clean
    // whatever it holds.
    QString name = window.objectName();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    if (name.isEmpty()) name = QStringLiteral("window");
    return QDir(dir).filePath(name + QLatin1Char('-') +
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                              QStringLiteral(".pdf"));
}

void render(QWidget& window, QPrinter& printer) {
    const QPixmap picture = window.grab();
    QPainter painter(&printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    // At most the window's size on a 96 dpi screen; smaller when the page is.
    const double natural = printer.resolution() / 96.0;
    const double fit = std::min(static_cast<double>(page.width()) / picture.width(),
                                static_cast<double>(page.height()) / picture.height());
    const double scale = std::min(natural, fit);
    const QSize size(static_cast<int>(picture.width() * scale), static_cast<int>(picture.height() * scale));
    painter.drawPixmap(QRect(QPoint(0, 0), size), picture);
}

} // namespace

QString printWidget(QWidget& window, const QString& printerIndex, const QString& pdfPath) {
    if (pdfPath.isEmpty()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (!printers.isEmpty()) {
            bool ok = false;
            const int index = printerIndex.toInt(&ok);
            const QPrinterInfo info = ok && index >= 0 && index < printers.size()
                                          ? printers[index]
                                          : QPrinterInfo::defaultPrinter();
            QPrinter printer(info.isNull() ? printers.first() : info, QPrinter::HighResolution);
            printer.setDocName(window.windowTitle());
            render(window, printer);
            return printer.printerName();
        }
    }
    const QString path = pdfPath.isEmpty() ? pdfPathFor(window) : pdfPath;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(window.windowTitle());
    render(window, printer);
    return path;
}

QString printScreen(QWidget& window, const QString& printerIndex) {
    const bool hasPrinter = !QPrinterInfo::availablePrinters().isEmpty();
    const QString where = printWidget(window, printerIndex, QString());
    if (!hasPrinter)
        QMessageBox::information(&window, window.windowTitle(),
                                 QStringLiteral("No printer is installed. The window was saved to\n%1\n\n"
                                                "Aucune imprimante n'est installée. La fenêtre a été "
                                                "enregistrée dans\n%1")
                                     .arg(QDir::toNativeSeparators(where)));
    return where;
}

} // namespace vm::forms
