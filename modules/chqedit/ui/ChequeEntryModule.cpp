#include "modules/chqedit/ui/ChequeEntryModule.h"

#include "common/core/LinkStringQt.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/TErrorForm.h"
#include "modules/chqedit/ui/Tchqedit_dm.h"
#include "modules/chqedit/ui/Tchqedit_frm.h"

#include <QApplication>

#include <memory>

namespace vm::chqedit {

std::int32_t runChequeModule(const core::TLinkSection& received, ChequeBook book) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto dm = std::make_unique<Tchqedit_dm>(book, qApp);
    auto form = std::make_unique<Tchqedit_frm>(link, *dm);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    errorForm->setPrinterIndex(core::toQString(link.PrinterIndex));
    forms::ModuleStartup(link).translateShared(*errorForm);
    dm->setErrorForm(errorForm.get());

    // A database failure must still reach the error form and close the
    // window.
    forms::ModuleErrorHandler handler(form.get(), errorForm.get());
    handler.install();
    form->setErrorHandler(&handler);

    core::RegionalSettings::loadCurrent(core::SettingsStore());
    form->exec();

    form.reset();
    dm.reset();
    errorForm.reset();
    return -1;
}

} // namespace vm::chqedit
