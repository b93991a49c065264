#pragma once
#include "report/ExportDialog.h"

// The statement module's export dialog: the same choices, and a silent
// export for statements that are mailed.
class TExportDialog1 : public vm::report::ExportDialog {
public:
    TExportDialog1(const vm::report::Report& report, int language, QWidget* parent = nullptr);
};
