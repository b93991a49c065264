#include "modules/purchjrnl/ui/PurchasesModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/TErrorForm.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Session.h"
#include "modules/purchjrnl/ui/Tpurchjrnl_dm.h"
#include "modules/purchjrnl/ui/Tpurchjrnl_frm.h"

#include <memory>

namespace vm::purchjrnl {

std::int32_t runPurchases(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    link.LedgerPrefix = core::LinkString("N");
    {
        auto dm = std::make_unique<Tpurchjrnl_dm>(link);
        auto window = std::make_unique<Tpurchjrnl_frm>(link, *dm);
        auto period = std::make_unique<forms::Tperiod_frm>(window.get());
        auto errorForm = std::make_unique<forms::TErrorForm>();
        errorForm->setPrinterIndex(QString::fromUtf8(link.PrinterIndex.c_str()));
        forms::ModuleStartup(link).translateShared(*errorForm);
        window->setPeriodForm(period.get());
        window->setErrorForm(errorForm.get());

        forms::ModuleErrorHandler hook(window.get(), errorForm.get());
        hook.setExitAction([w = window.get()] { w->quit(); });
        hook.install();
        window->setErrorHandler(&hook);

        core::RegionalSettings::loadCurrent(core::SettingsStore());
        window->applyDateMask();
        window->exec();
    }
    // Close all tables and disconnect the aliases.
    Session::instance().closeAll();
    return -1;
}

} // namespace vm::purchjrnl
