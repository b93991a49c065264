#include "components/outfilters/ExportDialogTexts.h"
#include "components/outfilters/ExportReportEntry.h"
#include "components/outfilters1/TExportDialog1.h"
#include "report/PageStream.h"
#include "report/Report.h"
#include "report/ReportExporter.h"

#include <exception>

extern "C" VM_EXPORT int ExportReport(const vm::report::Report* report, int language, QWidget* parent) {
    if (!report) return 0;
    try {
        TExportDialog1 dialog(*report, language, parent);
        vm::components::translateExportDialog(dialog, language);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    } catch (const std::exception&) {
        return 0; // never let an exception cross the library boundary
    }
}

extern "C" VM_EXPORT int ExportReportToFile(const vm::report::Report* report, const char* path, int format) {
    using vm::report::ReportExporter;
    if (!report || !path || !*path || format < 1 || format > 3) return 0;
    try {
        vm::report::PageStream pages(*report); // written page by page
        return ReportExporter::write(pages, static_cast<ReportExporter::Format>(format), path) ==
                       vm::report::WriteOutcome::Written
                   ? 1
                   : 0;
    } catch (const std::exception&) {
        return 0;
    }
}
