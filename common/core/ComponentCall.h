#pragma once
#include "common/core/ExceptionHook.h"
#include "common/core/LaunchCode.h"
#include "common/core/LibraryBoundary.h"
#include "common/core/LinkSection.h"

#include <dlfcn.h>

#include <exception>
#include <optional>
#include <string>

namespace vm::core {

// Calls a function exported by a component library (a picker, the quick
// link, the finish box, an export dialog): loads <programDir>/<library>.so,
// looks the function up by name, calls it with the arguments, and unloads
// the library again. Returns nothing when the library or the function is
// missing (or the name is not a plain file name), so the caller can carry on
// as after a cancelled dialog.
//
// As for modules, the exception hook in force before the call is in force
// after it, and an exception that escapes the component is rethrown after
// the unload, replaced first when its type belongs to the component (see
// detachFromLibrary).
//
// R must not own code of the library: a LinkString result is safe (its
// storage is freed with the C library's free), a C++ object with virtual
// functions from the library is not.
template <typename R, typename... Args>
std::optional<R> callComponent(const std::string& programDir, const std::string& library,
                               const char* function, Args... args) {
    if (!isSafeModuleCode(library)) return std::nullopt;
    const std::string path = (programDir.empty() ? std::string(".") : programDir) + "/" + library + ".so";
    const ExceptionHook before = currentExceptionHook();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return std::nullopt;
    using Fn = R (*)(Args...);
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, function));
    std::optional<R> result;
    std::exception_ptr escaped;
    if (fn) {
        try {
            result.emplace(fn(args...));
        } catch (...) {
            escaped = detachFromLibrary(libraryBaseOf(reinterpret_cast<const void*>(fn)), library);
        }
    }
    restoreExceptionHook(before);
    ::dlclose(handle);
    if (escaped) std::rethrow_exception(escaped);
    return result;
}

// A picker that returns text: "" when cancelled or not available.
inline std::string pickText(const std::string& programDir, const char* library, const char* function,
                            const TLinkSection& link) {
    auto r = callComponent<LinkString>(programDir, library, function, link);
    return r ? r->str() : std::string();
}

// A picker that returns a number, or the quick link: 0 when not available.
inline std::int32_t pickNumber(const std::string& programDir, const char* library, const char* function,
                               const TLinkSection& link) {
    return callComponent<std::int32_t>(programDir, library, function, link).value_or(0);
}

} // namespace vm::core
