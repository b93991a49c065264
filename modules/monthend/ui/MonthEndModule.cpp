#include "modules/monthend/ui/MonthEndModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/TErrorForm.h"
#include "engine/Session.h"
#include "modules/monthend/ui/Tmonthend_dm.h"
#include "modules/monthend/ui/Tmonthend_frm.h"

#include <memory>

namespace vm::monthend {

std::int32_t runMonthEnd(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    {
        auto dm = std::make_unique<Tmonthend_dm>();
        auto window = std::make_unique<Tmonthend_frm>(link, *dm);
        auto errorForm = std::make_unique<forms::TErrorForm>();
        errorForm->setPrinterIndex(QString::fromUtf8(link.PrinterIndex.c_str()));
        forms::ModuleStartup(link).translateShared(*errorForm);
        window->setErrorForm(errorForm.get());

        forms::ModuleErrorHandler hook(window.get(), errorForm.get());
        hook.setExitAction([w = window.get()] { w->quit(); });
        hook.install();

        core::RegionalSettings::loadCurrent(core::SettingsStore());
        window->applyDateMask();
        window->exec();
    }
    Session::instance().closeAll();
    return -1;
}

} // namespace vm::monthend
