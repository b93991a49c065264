#pragma once
#include <QApplication>

namespace vm::forms {

// The application object of the shell (and of test programs): every
// exception that escapes an event handler is caught here and handed to the
// exception hook in force (the running module's), instead of ending the
// program. AbortAction is dropped silently. Without a hook the exception's
// message is shown in an error box and the program goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Hands an exception to the hook as notify() does; for code that catches
    // outside the event loop (a module's entry, a timer-less test).
    static void dispatch(std::exception_ptr error);
    // The same once the event loop turns again, while `context` lives: for
    // code called from inside Qt's own classes (a model's setData under an
    // item view), which must not be unwound by an exception nor re-entered
    // by the hook's error form and window closing.
    static void dispatchLater(std::exception_ptr error, QObject* context);

    // Runs a model's edit (setData) so that nothing unwinds through the item
    // view that called it: a failure goes to dispatchLater and the edit
    // reports false.
    template <class Edit> static bool guardedEdit(QObject* model, Edit&& edit) {
        try {
            return edit();
        } catch (...) {
            dispatchLater(std::current_exception(), model);
            return false;
        }
    }
};

} // namespace vm::forms
