#include "FormsTestSupport.h"

#include "common/core/ExceptionHook.h"
#include "common/forms/AbortAction.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/TErrorForm.h"
#include "engine/EngineError.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace vm;
using namespace vm::forms;

namespace {

// A control whose click handler fails the way a module's handler can.
class FailingButton : public QPushButton {
public:
    FailingButton(QWidget* parent, std::function<void()> fail)
        : QPushButton("go", parent), fail_(std::move(fail)) {}

protected:
    void mousePressEvent(QMouseEvent*) override { fail_(); }

private:
    std::function<void()> fail_;
};

struct Shown {
    bool shown = false;
    QString category, code, message;
};

// Records what the error form shows and closes it with its Close button.
void watchErrorForm(Shown* out, QObject* context, int timeoutMs = 1500) {
    test::whenModal<TErrorForm>(
        [out](TErrorForm* f) {
            out->shown = true;
            out->category = f->category();
            out->code = f->code();
            out->message = f->message();
            QTest::mouseClick(f->findChild<QPushButton*>("BtnClose"), Qt::LeftButton);
        },
        timeoutMs, context);
}

class ErrorHook : public ::testing::Test {
protected:
    void TearDown() override { core::clearExceptionHook(); }

    void clickThrowing(std::function<void()> fail) {
        auto* b = new FailingButton(&main, std::move(fail));
        main.show();
        QTest::mouseClick(b, Qt::LeftButton);
        QApplication::processEvents();
    }

    QObject watchers;
    QWidget main;
    TErrorForm errorForm{&main};
    ModuleErrorHandler handler{&main, &errorForm};
};

} // namespace

TEST_F(ErrorHook, EngineErrorIsShownAndClosesTheModuleWindow) {
    handler.install();
    Shown shown;
    watchErrorForm(&shown, &watchers, 10000);
    clickThrowing(
        [] { throw EngineError(errc::kIo, "outer").pushed(errc::kKeyViolation, "Key violation in cli"); });
    EXPECT_TRUE(shown.shown);
    // The last entry of the stack: category 0x26 and sub-code 1, in decimal.
    EXPECT_EQ(shown.category, "38");
    EXPECT_EQ(shown.code, "1");
    EXPECT_EQ(shown.message, "Key violation in cli");
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(handler.errorFlag());
}

TEST_F(ErrorHook, RecordLockIsNotShownButStillClosesTheWindow) {
    handler.install();
    Shown shown;
    watchErrorForm(&shown, &watchers);
    clickThrowing([] { throw EngineError(errc::kRecordLocked, "Record locked by another user"); });
    EXPECT_FALSE(shown.shown);
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(handler.errorFlag());
}

TEST_F(ErrorHook, OtherExceptionsAreSwallowedAndTheModuleGoesOn) {
    handler.install();
    Shown shown;
    watchErrorForm(&shown, &watchers);
    clickThrowing([] { throw std::runtime_error("not a database error"); });
    EXPECT_FALSE(shown.shown);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(handler.errorFlag());

    // An aborted action never reaches the hook.
    handler.clearErrorFlag();
    clickThrowing([] { throw AbortAction(); });
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(handler.errorFlag());
}

TEST_F(ErrorHook, ExitActionReplacesClosingAndTheHookGoesWithItsHandler) {
    int exits = 0;
    {
        QWidget other;
        ModuleErrorHandler own(&other, nullptr);
        own.setExitAction([&] { ++exits; });
        own.install();
        other.show();
        own.handle(std::make_exception_ptr(EngineError(errc::kRecordLocked, "locked")));
        EXPECT_EQ(exits, 1);
        EXPECT_TRUE(other.isVisible());
        EXPECT_TRUE(core::currentExceptionHook().isSet());
    }
    // Destroyed while installed: nothing points at it any more.
    EXPECT_FALSE(core::currentExceptionHook().isSet());

    // Another handler installed since is left alone.
    handler.install();
    { ModuleErrorHandler gone(&main, nullptr); }
    EXPECT_EQ(core::currentExceptionHook().object, &handler);
}

TEST(ErrorForm, HandleClassifiesForTheRetryLoop) {
    QObject watchers;
    TErrorForm f;
    EXPECT_EQ(f.retryState(), TErrorForm::kNoLock);
    EXPECT_EQ(f.Handle(std::make_exception_ptr(EngineError(errc::kRecordLocked, "locked"))),
              TErrorForm::kLocked);

    Shown shown;
    watchErrorForm(&shown, &watchers, 10000);
    f.setRetryState(TErrorForm::kNoLock);
    EXPECT_EQ(f.Handle(std::make_exception_ptr(std::logic_error("bad state"))), TErrorForm::kNoLock);
    EXPECT_TRUE(shown.shown);
    EXPECT_EQ(shown.category, "xxxxx");
    EXPECT_EQ(shown.code, "xxxxx");
    EXPECT_EQ(shown.message, "bad state");
    EXPECT_FALSE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(f.findChild<QPlainTextEdit*>("ErrMess")->isReadOnly());
}
