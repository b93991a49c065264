#include "modules/cashrcpt/ui/CashReceiptsModule.h"

// Cash receipts from clients and other receipts, posted period by period.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::cashrcpt::runCashReceipts(link);
}
