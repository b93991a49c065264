#include "report/ReportOutput.h"

#include "report/ExportDialog.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportPrinter.h"

namespace vm::report {

bool outputReport(ReportOutput output, StreamFactory pages, int printer, int previewPrinter, bool showSetup,
                  int language, QWidget* parent) {
    switch (output) {
    case ReportOutput::Print: {
        std::unique_ptr<PageStream> stream = pages();
        ReportPrinter::printAndTell(*stream, printer, showSetup, language, parent);
        return true;
    }
    case ReportOutput::Preview: {
        ReportPreviewDialog preview(std::move(pages), previewPrinter, language, parent);
        preview.exec();
        return true;
    }
    case ReportOutput::Export: {
        ExportDialog dialog(std::move(pages), language, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    }
    return false;
}

} // namespace vm::report
