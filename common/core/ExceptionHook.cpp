#include "common/core/ExceptionHook.h"

#include "common/core/LinkSection.h"

#include <QCoreApplication>
#include <QVariant>

#include <dlfcn.h>

#include <cstdint>

// The process-wide slot. It has default visibility so that, in a program
// linked with exported symbols, a module's lookup below finds the program's
// copy instead of its own.
extern "C" {
VM_EXPORT vm::core::ExceptionHook vmCoreExceptionHookSlot;
}

namespace vm::core {
namespace {

constexpr char kFnProperty[] = "vmExceptionHookFn";
constexpr char kObjectProperty[] = "vmExceptionHookObject";

ExceptionHook* processSlot() {
    static ExceptionHook* const slot = [] {
        void* found = dlsym(RTLD_DEFAULT, "vmCoreExceptionHookSlot");
        return found ? static_cast<ExceptionHook*>(found) : &vmCoreExceptionHookSlot;
    }();
    return slot;
}

quintptr toInt(ExceptionHookFn fn) { return reinterpret_cast<quintptr>(fn); }
ExceptionHookFn toFn(quintptr v) { return reinterpret_cast<ExceptionHookFn>(v); }

} // namespace

void installExceptionHook(ExceptionHook hook) {
    // Both places: the slot keeps the hook should the application object go
    // away, the properties reach modules of a program that exports nothing.
    *processSlot() = hook;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->setProperty(kFnProperty, QVariant::fromValue<quintptr>(toInt(hook.fn)));
        app->setProperty(kObjectProperty, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(hook.object)));
    }
}

ExceptionHook currentExceptionHook() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        const QVariant fn = app->property(kFnProperty);
        if (fn.isValid()) {
            ExceptionHook hook;
            hook.fn = toFn(fn.value<quintptr>());
            hook.object = reinterpret_cast<void*>(app->property(kObjectProperty).value<quintptr>());
            return hook;
        }
    }
    return *processSlot();
}

void clearExceptionHook() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->setProperty(kFnProperty, QVariant());
        app->setProperty(kObjectProperty, QVariant());
    }
    *processSlot() = ExceptionHook{};
}

} // namespace vm::core
