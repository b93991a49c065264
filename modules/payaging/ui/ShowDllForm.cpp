#include "modules/rcvaging/ui/AgingModule.h"

// Aging of the suppliers' accounts: the receivables aging over the payables
// ledger.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::aging::runAgingModule(link, vm::aging::Ledger::Payables);
}
