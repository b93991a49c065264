#include "common/core/LibraryBoundary.h"

#include "common/core/ModuleException.h"
#include "engine/EngineError.h"

#include <cxxabi.h>
#include <dlfcn.h>

#include <string>
#include <typeinfo>

namespace vm::core {

const void* libraryBaseOf(const void* address) {
    Dl_info info{};
    return address && ::dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

std::exception_ptr detachFromLibrary(const void* libraryBase, std::string_view libraryName) {
    // The type of the exception being handled, whatever it is.
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (!type || !libraryBase || libraryBaseOf(type) != libraryBase) return std::current_exception();
    const std::string name(libraryName);
    try {
        throw;
    } catch (const EngineError& e) {
        return std::make_exception_ptr(EngineError(e.stack()));
    } catch (const std::exception& e) {
        return std::make_exception_ptr(ModuleException(name, e.what()));
    } catch (...) {
        return std::make_exception_ptr(
            ModuleException(name, name + " ended with an exception of an unknown type"));
    }
}

void restoreExceptionHook(const ExceptionHook& before) {
    if (before.isSet())
        installExceptionHook(before);
    else
        clearExceptionHook();
}

} // namespace vm::core
