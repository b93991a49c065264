#include "modules/chqissue/ui/ChequeIssueModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/TErrorForm.h"
#include "modules/chqissue/ui/Tchqissue_frm.h"

#include <memory>

namespace vm::chqissue {

std::int32_t runChequeIssueModule(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto window = std::make_unique<Tchqissue_frm>(link);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    forms::ModuleErrorHandler hook(window.get(), errorForm.get());
    hook.install();
    core::RegionalSettings::loadCurrent(core::SettingsStore());
    window->exec();
    return -1;
}

} // namespace vm::chqissue
