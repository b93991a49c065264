#pragma once
#include "report/ExportDialog.h"

// The export dialog of the list and aging reports.
class TExportDialog : public vm::report::ExportDialog {
public:
    TExportDialog(const vm::report::Report& report, int language, QWidget* parent = nullptr);
};
