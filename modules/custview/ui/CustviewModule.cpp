#include "modules/custview/ui/CustviewModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/TErrorForm.h"
#include "modules/custview/ui/Tcustview_frm.h"

#include <memory>

namespace vm::custview {

std::int32_t runCustviewModule(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto window = std::make_unique<Tcustview_frm>(link);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    forms::ModuleErrorHandler hook(window.get(), errorForm.get());
    hook.install();
    core::RegionalSettings::loadCurrent(core::SettingsStore());
    window->exec();
    return -1;
}

} // namespace vm::custview
