#include "modules/rcvaging/ui/AgingModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/TErrorForm.h"
#include "modules/rcvaging/ui/AgingWindow.h"

#include <memory>

namespace vm::aging {

std::int32_t runAgingModule(const core::TLinkSection& received, Ledger ledger) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto window = std::make_unique<AgingWindow>(link, ledger);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    forms::ModuleErrorHandler hook(window.get(), errorForm.get());
    hook.install();
    core::RegionalSettings::loadCurrent(core::SettingsStore());
    window->exec();
    return -1;
}

} // namespace vm::aging
