#include "modules/chqedit/ui/ChequeEntryModule.h"

// Edit cheque entries.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::chqedit::runChequeModule(link, vm::chqedit::ChequeBook::Entries);
}
