#include "common/core/ExceptionHook.h"

#include <QCoreApplication>
#include <QThread>
#include <QVariant>

namespace vm::core {
namespace {

constexpr char kFnProperty[] = "vmExceptionHookFn";
constexpr char kObjectProperty[] = "vmExceptionHookObject";

// Qt is one shared library for the whole process, so its objects are seen
// alike by the program and by every module, whichever copy of this code
// runs. The application object holds the hook; before it exists (tests,
// tools) the calling thread's object does, which for the UI thread is the
// same thread object the application later takes over.
struct Holders {
    QObject* at[2] = {nullptr, nullptr};
    int count = 0;
    QObject* const* begin() const { return at; }
    QObject* const* end() const { return at + count; }
};

Holders holders() {
    Holders h;
    if (QCoreApplication* app = QCoreApplication::instance()) h.at[h.count++] = app;
    h.at[h.count++] = QThread::currentThread();
    return h;
}

void store(QObject* holder, const QVariant& fn, const QVariant& object) {
    holder->setProperty(kFnProperty, fn);
    holder->setProperty(kObjectProperty, object);
}

} // namespace

void installExceptionHook(ExceptionHook hook) {
    const QVariant fn = QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(hook.fn));
    const QVariant object = QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(hook.object));
    for (QObject* holder : holders())
        store(holder, fn, object);
}

ExceptionHook currentExceptionHook() {
    for (QObject* holder : holders()) {
        const QVariant fn = holder->property(kFnProperty);
        if (!fn.isValid()) continue;
        ExceptionHook hook;
        hook.fn = reinterpret_cast<ExceptionHookFn>(fn.value<quintptr>());
        hook.object = reinterpret_cast<void*>(holder->property(kObjectProperty).value<quintptr>());
        return hook;
    }
    return {};
}

void clearExceptionHook() {
    for (QObject* holder : holders())
        store(holder, QVariant(), QVariant());
}

} // namespace vm::core
