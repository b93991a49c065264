#include "report/PdfExporter.h"

#include "report/FileWriter.h"
#include "report/PageLayoutQt.h"
#include "report/PageRenderer.h"
#include "report/ReportDocument.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

namespace vm::report {

WriteOutcome PdfExporter::write(PageStream& pages, const std::string& path, std::string* error,
                                const Progress& progress) {
    AtomicFile file;
    if (!file.open(path, error)) return WriteOutcome::Failed;
    const DocumentInfo& info = pages.info();
    bool cancelled = false;
    {
        QFile out;
        if (!out.open(file.descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            if (error) *error = path + ": " + out.errorString().toStdString();
            return WriteOutcome::Failed;
        }
        QPdfWriter writer(&out);
        writer.setResolution(600);
        writer.setPageLayout(toQPageLayout(info.page));
        writer.setTitle(QString::fromStdString(info.title));
        writer.setCreator(QStringLiteral("Valmorand"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = "the PDF could not be started";
            return WriteOutcome::Failed;
        }
        DocumentPage page;
        for (int n = 0; pages.next(page); ++n) {
            if (n > 0) writer.newPage();
            PageRenderer::paint(page, painter, writer.resolution(), writer.resolution());
            if (progress && !progress(n + 1)) {
                cancelled = true;
                break;
            }
        }
        painter.end();
        out.flush();
        if (out.error() != QFileDevice::NoError) file.fail();
    }
    if (cancelled) {
        file.discard();
        return WriteOutcome::Cancelled;
    }
    return file.commit(error) ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool PdfExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    PageStream pages{ReportDocument(doc)};
    return write(pages, path, error) == WriteOutcome::Written;
}

} // namespace vm::report
