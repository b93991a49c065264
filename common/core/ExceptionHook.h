#pragma once
#include <exception>

namespace vm::core {

// The application-wide handler for exceptions that escape event handlers.
// A module installs its own (its handler function and, as object, its main
// form); the application's notify() hands every escaping exception to the
// hook in force; the shell removes the hook before it unloads the module, so
// that no address inside an unloaded library stays installed.
using ExceptionHookFn = void (*)(void* object, std::exception_ptr error);

struct ExceptionHook {
    ExceptionHookFn fn = nullptr;
    void* object = nullptr;

    bool isSet() const { return fn != nullptr; }
    bool operator==(const ExceptionHook&) const = default;
};

// The shell and every module library link their own copy of this code, yet
// must all see one hook. The hook is therefore kept in Qt's objects, which
// the whole process shares: as properties of the application object when
// one exists, and of the calling thread's object (the UI thread's, before an
// application object exists). Used from the UI thread only.
void installExceptionHook(ExceptionHook hook);
ExceptionHook currentExceptionHook();
// Clears both the handler and its object.
void clearExceptionHook();

} // namespace vm::core
