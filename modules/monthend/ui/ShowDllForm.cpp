#include "modules/monthend/ui/MonthEndModule.h"

// Receivables end of month: purge of fully paid invoices, month-to-date
// resets and the next period.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::monthend::runMonthEnd(link);
}
