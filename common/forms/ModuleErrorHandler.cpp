#include "common/forms/ModuleErrorHandler.h"

#include "common/core/ExceptionHook.h"
#include "common/forms/TErrorForm.h"
#include "engine/EngineError.h"

#include <QMessageBox>

namespace vm::forms {

ModuleErrorHandler::ModuleErrorHandler(QWidget* mainForm, TErrorForm* errorForm)
    : mainForm_(mainForm), errorForm_(errorForm) {}

ModuleErrorHandler::~ModuleErrorHandler() {
    const core::ExceptionHook mine{&ModuleErrorHandler::hook, this};
    if (core::currentExceptionHook() == mine) core::clearExceptionHook();
}

void ModuleErrorHandler::install() {
    core::installExceptionHook({&ModuleErrorHandler::hook, this});
}

void ModuleErrorHandler::hook(void* object, std::exception_ptr error) {
    static_cast<ModuleErrorHandler*>(object)->handle(error);
}

void ModuleErrorHandler::handle(std::exception_ptr error) {
    errorFlag_ = true;
    try {
        std::rethrow_exception(error);
    } catch (const EngineError& e) {
        if (!e.isRecordLock()) {
            const QString category = QString::number(e.category());
            const QString code = QString::number(e.subCode() & 0xFF);
            const QString message = QString::fromUtf8(e.what());
            if (errorForm_) {
                errorForm_->Show(category, code, message);
            } else {
                QMessageBox::critical(
                    mainForm_, QStringLiteral("Error"),
                    QStringLiteral("Category: %1\nCode: %2\nMessage: %3").arg(category, code, message));
            }
        }
        if (exitAction_)
            exitAction_();
        else if (mainForm_)
            mainForm_->close();
    } catch (...) {
        // Not an engine failure: the module goes on.
    }
}

void ModuleErrorHandler::reportActionFailure(std::exception_ptr error, const QString& notDone,
                                             const QString& title) {
    QString detail;
    try {
        std::rethrow_exception(error);
    } catch (const EngineError&) {
        handle(error);
        return;
    } catch (const std::exception& e) {
        detail = QString::fromUtf8(e.what());
    } catch (...) {
    }
    errorFlag_ = true;
    const QString text = detail.isEmpty() ? notDone : notDone + QStringLiteral("\n\n") + detail;
    QMessageBox::critical(mainForm_, title.isEmpty() && mainForm_ ? mainForm_->windowTitle() : title, text);
}

} // namespace vm::forms
