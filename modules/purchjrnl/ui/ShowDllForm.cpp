#include "modules/purchjrnl/ui/PurchasesModule.h"

// Supplier invoices, debit and credit notes and adjustments, posted period
// by period.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::purchjrnl::runPurchases(link);
}
