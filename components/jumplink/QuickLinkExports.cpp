#include "common/core/LinkSection.h"
#include "common/core/ModuleLoader.h"
#include "components/common/PickerRunner.h"
#include "components/common/SessionContext.h"
#include "components/jumplink/QuickLinkDialog.h"

#include <QApplication>

#include <cstdint>

// Lets the user start another option of the system from inside a module.
// The option runs with a copy of the caller's session record, loaded from the
// program directory like a launch from the desktop, while the quick link
// window stays open beneath it. The caller's exception hook is in force again
// when this returns. Returns 1 once the window has been shown, 0 without a
// GUI application; callers ignore the result.
extern "C" VM_EXPORT std::int32_t QuickLink(vm::core::TLinkSection link) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    const auto session = vm::components::SessionContext::from(link);
    const vm::core::ModuleLoader loader(session.programDir);
    auto launch = [&](const std::string& code) { return loader.run(code, link); };
    vm::components::QuickLinkDialog dialog(session.english(), session.langCode, launch,
                                           vm::components::callerWindow());
    dialog.exec();
    return 1;
}
