#include "components/common/PickerRunner.h"

#include "common/forms/ModuleStartup.h"
#include "components/common/PickerDialog.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>

namespace vm::components {

namespace {

void tellOpenFailure(const PickerDefinition& definition, const SessionContext& session, QWidget* parent) {
    const QString table = QString::fromStdString(definition.table) + QStringLiteral(".db");
    const QString text = forms::ModuleStartup::tableOpenErrorText(session.english() ? 1 : 2, table);
    QMessageBox::warning(parent, session.english() ? definition.englishCaption : definition.frenchCaption,
                         text);
}

} // namespace

QWidget* callerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

std::optional<Value> runPicker(const PickerDefinition& definition, const SessionContext& session) noexcept {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return std::nullopt; // no widgets without a GUI application
    QWidget* parent = callerWindow();
    try {
        const std::string dir = definition.systemTable ? session.dataDir : session.companyDir();
        // A look-up never creates a database where there is none.
        std::error_code ec;
        if (dir.empty() || (!Database::isServerLocation(dir) &&
                            !std::filesystem::exists(std::filesystem::path(dir) / Database::kFileName, ec))) {
            tellOpenFailure(definition, session, parent);
            return std::nullopt;
        }
        Session engine;
        Database& db = engine.database(dir);
        if (!db.tableExists(definition.table)) {
            tellOpenFailure(definition, session, parent);
            return std::nullopt;
        }
        std::optional<Value> chosen;
        {
            PickerDialog dialog(db, definition, session.language, session.langCode, parent);
            if (dialog.exec() == QDialog::Accepted) chosen = dialog.chosenKey();
        }
        return chosen;
    } catch (const EngineError&) {
        tellOpenFailure(definition, session, parent);
    } catch (const std::exception& e) {
        QMessageBox::warning(parent, session.english() ? definition.englishCaption : definition.frenchCaption,
                             QString::fromLocal8Bit(e.what()));
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace vm::components
