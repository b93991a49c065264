#include "modules/chqissue/ui/ChequeIssueModule.h"

// Cheques to be issued.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::chqissue::runChequeIssueModule(link);
}
