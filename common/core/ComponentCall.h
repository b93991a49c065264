#pragma once
#include <dlfcn.h>

#include <optional>
#include <string>

namespace vm::core {

// Calls a function exported by a component library (a picker, the quick
// link, the finish box, an export dialog): loads <programDir>/<library>.so,
// looks the function up by name, calls it with the arguments, and unloads
// the library again. Returns nothing when the library or the function is
// missing, so the caller can carry on as after a cancelled dialog.
//
// R must not own code of the library: a LinkString result is safe (its
// storage is freed with the C library's free), a C++ object with virtual
// functions from the library is not.
template <typename R, typename... Args>
std::optional<R> callComponent(const std::string& programDir, const std::string& library, const char* function,
                               Args... args) {
    const std::string path = (programDir.empty() ? std::string(".") : programDir) + "/" + library + ".so";
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return std::nullopt;
    struct Closer {
        void* h;
        ~Closer() { ::dlclose(h); }
    } closer{handle};
    using Fn = R (*)(Args...);
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, function));
    if (!fn) return std::nullopt;
    return fn(args...);
}

} // namespace vm::core
