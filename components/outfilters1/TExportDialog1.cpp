#include "components/outfilters1/TExportDialog1.h"

TExportDialog1::TExportDialog1(const vm::report::Report& report, int language, QWidget* parent)
    : vm::report::ExportDialog(report, language, parent) {
    setObjectName(QStringLiteral("TExportDialog1"));
}
