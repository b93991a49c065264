#include "modules/custview/ui/CustviewModule.h"

// Display of clients.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::custview::runCustviewModule(link);
}
