#include "components/outfilters/TExportDialog.h"

TExportDialog::TExportDialog(const vm::report::Report& report, int language, QWidget* parent)
    : vm::report::ExportDialog(report, language, parent) {
    setObjectName(QStringLiteral("TExportDialog"));
}
