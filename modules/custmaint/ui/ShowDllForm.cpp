#include "common/core/LinkSection.h"
#include "common/core/LinkStringQt.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/TErrorForm.h"
#include "modules/custmaint/ui/Tcustmaint_dm.h"
#include "modules/custmaint/ui/Tcustmaint_frm.h"

#include <QApplication>

#include <cstdint>
#include <memory>

// Client maintenance: shows "Maintenance of clients" modally over the
// session's company and returns -1 once the user has closed it.
extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection received) {
    using namespace vm;
    core::TLinkSection link = received; // the module's own copy
    const std::int32_t result = -1;

    auto dm = std::make_unique<custmaint::Tcustmaint_dm>(qApp);
    auto form = std::make_unique<custmaint::Tcustmaint_frm>(link, *dm);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    errorForm->setPrinterIndex(core::toQString(link.PrinterIndex));
    forms::ModuleStartup(link).translateShared(*errorForm);
    dm->setErrorForm(errorForm.get());
    form->setErrorForm(errorForm.get());

    forms::ModuleErrorHandler handler(form.get(), errorForm.get());
    handler.install();
    form->setErrorHandler(&handler);

    core::RegionalSettings::loadCurrent(core::SettingsStore());
    form->exec();

    form.reset();
    dm.reset();
    errorForm.reset();
    return result;
}
