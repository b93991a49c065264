#include "modules/custstmt/ui/StatementWindow.h"

// Account statements: print, preview, export and mail the clients' statements.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    return vm::custstmt::runStatementModule(link);
}
