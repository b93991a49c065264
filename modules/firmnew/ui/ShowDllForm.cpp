// The module's entry point.
#include "common/core/LinkSection.h"
#include "common/forms/FormTranslation.h"
#include "common/forms/ModuleStartup.h"
#include "modules/firmnew/ui/Tfirmnew_frm.h"

#include <QApplication>

#include <cstdint>

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    vm::core::TLinkSection own = link;
    vm::firmnew::Tfirmnew_frm form(own.DataDir.str(), QApplication::activeWindow());
    form.setHelp(vm::forms::ModuleStartup(own).helpPath(), own.Language);
    try {
        vm::forms::translateForm(form, "MainMenu", own.LangCode.str());
    } catch (const std::exception&) {
        // Without a language table the designed texts stay.
    }
    form.exec();
    return -1;
}
