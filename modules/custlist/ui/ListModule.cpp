#include "modules/custlist/ui/ListModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/TErrorForm.h"
#include "modules/custlist/ui/ListWindow.h"

#include <memory>

namespace vm::lists {

std::int32_t runListModule(const core::TLinkSection& received, Master master) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto window = std::make_unique<ListWindow>(link, master);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    forms::ModuleErrorHandler hook(window.get(), errorForm.get());
    hook.install();
    core::RegionalSettings::loadCurrent(core::SettingsStore());
    window->exec();
    return -1;
}

} // namespace vm::lists
