#include "components/outfilters/ExportReportEntry.h"
#include "components/outfilters/ExportDialogTexts.h"

#include "components/outfilters/TExportDialog.h"

#include <exception>

extern "C" VM_EXPORT int ExportReport(const vm::report::Report* report, int language, QWidget* parent) {
    if (!report) return 0;
    try {
        TExportDialog dialog(*report, language, parent);
        vm::components::translateExportDialog(dialog, language);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    } catch (const std::exception&) {
        return 0; // never let an exception cross the library boundary
    }
}
