#include "modules/cashdisb/ui/CashDisbursementsModule.h"

// Cash disbursements to suppliers and other payments, posted period by period.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::cashdisb::runCashDisbursements(link);
}
