#pragma once
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace vm::forms {

class TErrorForm;

// Runs an operation (start of a transaction, commit, rollback) until it no
// longer meets a record lock held by another workstation, or the database's
// write lock held by another process past the engine's busy time-out.
//
// Each attempt resets the error form's retry state. A lock is retried after
// a pause during which the event loop keeps turning (user input is held back
// until the waiting box shows); after `waitBoxDelay` a small box says what is
// awaited and offers Cancel. Giving up throws AbortAction. Any other engine
// error is shown on the error form with its category and code, any other
// exception with "xxxxx" for both, and the action is aborted (AbortAction).
class LockRetry {
public:
    explicit LockRetry(TErrorForm* errorForm, QWidget* owner = nullptr);

    // Translates the waiting box from table `MainMenu<langCode>` (its texts
    // stay English when the table cannot be read).
    void setLanguage(const std::string& langCode) { langCode_ = langCode; }
    void setPause(int ms) { pauseMs_ = ms; }
    void setWaitBoxDelay(int ms) { waitBoxDelayMs_ = ms; }

    // Returns the number of attempts that met a lock.
    int run(const std::function<void()>& operation);

private:
    QPointer<TErrorForm> errorForm_;
    QPointer<QWidget> owner_;
    std::string langCode_;
    int pauseMs_ = 200;
    int waitBoxDelayMs_ = 2000;
};

} // namespace vm::forms
