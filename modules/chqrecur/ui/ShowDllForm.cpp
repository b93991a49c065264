#include "modules/chqedit/ui/ChequeEntryModule.h"

// Recurring cheque entries: the cheque entry window over the templates.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::chqedit::runChequeModule(link, vm::chqedit::ChequeBook::Recurring);
}
