#include "components/outfilters/ExportDialogTexts.h"

#include "common/forms/FormTranslation.h"

#include <QWidget>

#include <exception>

namespace vm::components {

void translateExportDialog(QWidget& dialog, int language) {
    // Both export dialogs are the same form: the second one borrows the rows
    // of the first for the time of the translation.
    const QString name = dialog.objectName();
    dialog.setObjectName(QStringLiteral("TExportDialog"));
    try {
        vm::forms::translateForm(dialog, "MainMenu", language == 1 ? "en" : "fr");
    } catch (const std::exception&) {
        // no language table here: the built-in texts stand
    }
    dialog.setObjectName(name);
}

} // namespace vm::components
