// A stand-in module for the quick-link tests: it records that it ran, with
// what record, and whether a quick link window was open beneath it. When the
// program directory holds "quicklink.on" it then calls the quick link from
// inside its run, as a module's Quick Link button does.
#include "common/core/ComponentCall.h"
#include "common/core/LinkSection.h"

#include <QApplication>
#include <QWidget>

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    bool quickLinkOpen = false;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowTitle() == "Quick Link" || w->windowTitle() == "Lien Rapide"))
            quickLinkOpen = true;
    Dl_info self{};
    ::dladdr(reinterpret_cast<void*>(&ShowDllForm), &self);
    const std::string module = std::filesystem::path(self.dli_fname ? self.dli_fname : "").stem().string();
    std::ofstream(link.ProgramDir.str() + "/probe.log", std::ios::app)
        << module << " company=" << link.CompanyCode.str() << " user=" << link.UserName.str()
        << " quicklink=" << quickLinkOpen << "\n";
    if (std::filesystem::exists(link.ProgramDir.str() + "/quicklink.on")) {
        std::filesystem::remove(link.ProgramDir.str() + "/quicklink.on");
        vm::core::callComponent<std::int32_t>(link.ProgramDir.str(), "jumplink", "QuickLink", link);
    }
    return -1;
}
