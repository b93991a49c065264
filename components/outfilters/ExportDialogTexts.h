#pragma once

class QWidget;

namespace vm::components {

// Puts the captions of the session language on an export dialog from the
// desktop's language table ("MainMenu", rows of the form "TExportDialog").
// Without the table the dialog keeps its built-in English or French texts.
void translateExportDialog(QWidget& dialog, int language);

} // namespace vm::components
