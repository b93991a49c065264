#include "modules/rcvaging/ui/AgingModule.h"

// Aging of the clients' accounts.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::aging::runAgingModule(link, vm::aging::Ledger::Receivables);
}
