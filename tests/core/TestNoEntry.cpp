// A library that loads but does not export the module entry point.
#include "common/core/LinkSection.h"

extern "C" VM_EXPORT int ShowDllFormular() {
    return 1;
}
