// A library that loads but has no ShowDllForm: the desktop must treat it as
// a load failure.
#include "common/core/LinkSection.h"

extern "C" VM_EXPORT int NotTheEntryPoint() {
    return 1;
}
