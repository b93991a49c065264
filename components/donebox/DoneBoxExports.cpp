#include "common/core/LinkSection.h"
#include "components/common/PickerRunner.h"
#include "components/common/SessionContext.h"
#include "components/donebox/DoneBox.h"

#include <QApplication>

#include <cstdint>

// Tells the user that a procedure has finished, in the session's language,
// and waits for OK. Returns 1 once shown, 0 without a GUI application.
extern "C" VM_EXPORT std::int32_t Finished_Dialog(vm::core::TLinkSection link) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    try {
        const auto session = vm::components::SessionContext::from(link);
        vm::components::DoneBox box(session.english(), session.langCode, vm::components::callerWindow());
        box.exec();
        return 1;
    } catch (...) {
        return 0;
    }
}
