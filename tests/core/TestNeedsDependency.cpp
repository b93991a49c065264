// A module whose own library is present but one it needs is not.
#include "common/core/LinkSection.h"

extern "C" int vmTestDependencyValue();

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection) {
    return vmTestDependencyValue();
}
