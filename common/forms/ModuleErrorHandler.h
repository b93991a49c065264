#pragma once
#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>

namespace vm::forms {

class TErrorForm;

// The exception hook of a module. A table-engine error is shown on the error
// form (category and low byte of the sub-code in decimal, and the message)
// unless it is a record lock (10241 only: a busy database, which reaches
// the hook only when it was not waited out, is shown), and then, for every engine error including a
// lock, the module's window is closed: by the exit action when one is set
// (modules that clean up before closing), else by closing the main form.
// Other exceptions are not shown and the module goes on. In every case the
// error flag is set, for the module's keyboard handling to read.
//
// Without an error form (modules that create none) the engine error is shown
// in an error box with the same contents.
class ModuleErrorHandler {
public:
    ModuleErrorHandler(QWidget* mainForm, TErrorForm* errorForm);
    ~ModuleErrorHandler();
    ModuleErrorHandler(const ModuleErrorHandler&) = delete;
    ModuleErrorHandler& operator=(const ModuleErrorHandler&) = delete;

    void setExitAction(std::function<void()> action) { exitAction_ = std::move(action); }

    // Installs this handler as the application's exception hook (again after
    // a component that installed its own, such as the quick link). The hook
    // is cleared when the handler is destroyed while still installed.
    void install();

    bool errorFlag() const { return errorFlag_; }
    void clearErrorFlag() { errorFlag_ = false; }

    void handle(std::exception_ptr error);

    // A failure of an action that was rolled back whole (a posting). An
    // engine error goes the hook's way (error form, then the window closes);
    // any other failure, which the hook would not show, is told in a box
    // titled `title` (the main form's caption when empty): `notDone`, then
    // the failure's own text. The window then stays open with what the user
    // typed.
    void reportActionFailure(std::exception_ptr error, const QString& notDone, const QString& title = {});

    // The hook's function; `object` is the handler.
    static void hook(void* object, std::exception_ptr error);

private:
    QPointer<QWidget> mainForm_;
    QPointer<TErrorForm> errorForm_;
    std::function<void()> exitAction_;
    bool errorFlag_ = false;
};

} // namespace vm::forms
