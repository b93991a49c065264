#include "report/PdfExporter.h"

#include "report/FileWriter.h"
#include "report/PageLayoutQt.h"
#include "report/PageRenderer.h"
#include "report/ReportDocument.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

namespace vm::report {

bool PdfExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(toQPageLayout(doc.page));
        writer.setTitle(QString::fromStdString(doc.title));
        writer.setCreator(QStringLiteral("Valmorand"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = "the PDF could not be started";
            return false;
        }
        for (int i = 0; i < static_cast<int>(doc.pages.size()); ++i) {
            if (i > 0) writer.newPage();
            PageRenderer::paint(doc, i, painter, writer.resolution(), writer.resolution());
        }
        painter.end();
    }
    return FileWriter::writeAll(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error);
}

} // namespace vm::report
