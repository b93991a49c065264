#include "common/forms/Application.h"

#include "common/core/ExceptionHook.h"
#include "common/forms/AbortAction.h"

#include <QMessageBox>
#include <QTimer>

namespace vm::forms {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const AbortAction&) {
    } catch (...) {
        dispatch(std::current_exception());
    }
    return false;
}

void Application::dispatchLater(std::exception_ptr error, QObject* context) {
    QTimer::singleShot(0, context, [error] { dispatch(error); });
}

void Application::dispatch(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const AbortAction&) {
        return;
    } catch (...) {
    }
    const core::ExceptionHook hook = core::currentExceptionHook();
    if (hook.isSet()) {
        // Nothing may leave notify(): a failure inside the hook itself ends here.
        try {
            hook.fn(hook.object, error);
        } catch (...) {
        }
        return;
    }
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    QMessageBox::critical(nullptr, QStringLiteral("Valmorand"), text);
}

} // namespace vm::forms
