// A shared library that the dependency test module needs and cannot find.
#include "common/core/LinkSection.h"

extern "C" VM_EXPORT int vmTestDependencyValue() {
    return 42;
}
