#pragma once
#include "common/core/ExceptionHook.h"

#include <exception>
#include <string_view>

namespace vm::core {

// Helpers for calling into a library that is unloaded right after the call
// (modules and components).

// The load address of the library that holds address (a function or object
// of it); nullptr when the address belongs to no loaded library.
const void* libraryBaseOf(const void* address);

// Call only inside a catch handler, while the library is still loaded. The
// exception being handled, made safe to outlive the library at libraryBase:
// returned as it is when its type lives elsewhere (the standard library, the
// caller), else replaced: an engine error by a copy with the same error
// stack, any other exception by a ModuleException with the same what() text.
std::exception_ptr detachFromLibrary(const void* libraryBase, std::string_view libraryName);

// Puts back the hook in force before the call; clears it when there was none.
void restoreExceptionHook(const ExceptionHook& before);

} // namespace vm::core
