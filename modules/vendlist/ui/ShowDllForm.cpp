#include "modules/custlist/ui/ListModule.h"

// The list of suppliers: the client list's window over the supplier file.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::lists::runListModule(link, vm::lists::Master::Suppliers);
}
