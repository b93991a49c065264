#include "modules/vendmaint/ComponentCall.h"

#include <dlfcn.h>

namespace vm::vendmaint {

namespace {

extern "C" {
typedef core::LinkString (*TextFn)(core::TLinkSection);
typedef std::int32_t (*NumberFn)(core::TLinkSection);
}

// Unloads the library when the call is over, however it ends.
struct Unload {
    void* handle;
    ~Unload()
    {
        if (handle)
            ::dlclose(handle);
    }
};

} // namespace

void* ComponentCall::load(const char* library, const char* function, void*& handle) const
{
    const std::string path = (programDir_.empty() ? std::string(".") : programDir_) + "/" + library + ".so";
    handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    return ::dlsym(handle, function);
}

std::string ComponentCall::text(const char* library, const char* function, const core::TLinkSection& link) const
{
    void* handle = nullptr;
    void* fn = load(library, function, handle);
    Unload unload{handle};
    if (!fn)
        return {};
    // The handle is turned into a std::string before the library goes away.
    const core::LinkString result = reinterpret_cast<TextFn>(fn)(link);
    return result.str();
}

std::int32_t ComponentCall::number(const char* library, const char* function, const core::TLinkSection& link) const
{
    void* handle = nullptr;
    void* fn = load(library, function, handle);
    Unload unload{handle};
    if (!fn)
        return 0;
    return reinterpret_cast<NumberFn>(fn)(link);
}

} // namespace vm::vendmaint
