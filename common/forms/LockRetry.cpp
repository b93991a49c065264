#include "common/forms/LockRetry.h"

#include "common/forms/AbortAction.h"
#include "common/forms/FormTranslation.h"
#include "common/forms/LockWaitBox.h"
#include "common/forms/TErrorForm.h"
#include "engine/EngineError.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <memory>

namespace vm::forms {

LockRetry::LockRetry(TErrorForm* errorForm, QWidget* owner) : errorForm_(errorForm), owner_(owner) {}

namespace {

// Shows an error when there is no error form to show it on.
void showPlain(QWidget* owner, const QString& category, const QString& code, const QString& message) {
    QMessageBox::critical(owner, QStringLiteral("Error"),
                          QStringLiteral("Category: %1\nCode: %2\nMessage: %3").arg(category, code, message));
}

} // namespace

int LockRetry::run(const std::function<void()>& operation) {
    QElapsedTimer waited;
    std::unique_ptr<TLockWaitBox> box;
    int locks = 0;
    for (;;) {
        if (errorForm_) errorForm_->setRetryState(TErrorForm::kNoLock);
        try {
            operation();
            return locks;
        } catch (const AbortAction&) {
            throw;
        } catch (const EngineError& e) {
            if (!e.isLock()) { // a record lock or a busy database is waited out
                if (errorForm_)
                    errorForm_->Handle(std::current_exception());
                else
                    showPlain(owner_, QString::number(e.category()), QString::number(e.subCode() & 0xFF),
                              QString::fromUtf8(e.what()));
                throw AbortAction();
            }
            if (errorForm_) errorForm_->setRetryState(TErrorForm::kLocked);
        } catch (const std::exception& e) {
            if (errorForm_)
                errorForm_->Handle(std::current_exception());
            else
                showPlain(owner_, QStringLiteral("xxxxx"), QStringLiteral("xxxxx"),
                          QString::fromUtf8(e.what()));
            throw AbortAction();
        } catch (...) {
            if (errorForm_)
                errorForm_->Handle(std::current_exception());
            else
                showPlain(owner_, QStringLiteral("xxxxx"), QStringLiteral("xxxxx"), QString());
            throw AbortAction();
        }

        // Locked: wait a little with the event loop turning, then try again.
        if (locks++ == 0) waited.start();
        if (!box && waited.elapsed() >= waitBoxDelayMs_) {
            box = std::make_unique<TLockWaitBox>(owner_);
            if (!langCode_.empty()) {
                try {
                    translateForm(*box, "MainMenu", langCode_);
                } catch (const std::exception&) {
                    // The designed texts serve.
                }
            }
            box->show();
        }
        QEventLoop pause;
        QTimer::singleShot(pauseMs_, &pause, &QEventLoop::quit);
        pause.exec(box ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (box && box->cancelled()) throw AbortAction();
    }
}

} // namespace vm::forms
