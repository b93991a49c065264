#include "modules/cashdisb/ui/CashDisbursementsModule.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/TErrorForm.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Session.h"
#include "modules/cashdisb/ui/Tcashdisb_dm.h"
#include "modules/cashdisb/ui/Tcashdisb_frm.h"

#include <memory>

namespace vm::cashdisb {

std::int32_t runCashDisbursements(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    link.LedgerPrefix = core::LinkString("N");
    {
        auto dm = std::make_unique<Tcashdisb_dm>(link);
        auto window = std::make_unique<Tcashdisb_frm>(link, *dm);
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

} // namespace vm::cashdisb
