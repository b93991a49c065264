#include "common/core/LinkSection.h"
#include "common/core/SettingsStore.h"
#include "components/progressbox/ProgressBox.h"

#include <QApplication>
#include <QPointer>

#include <cstdint>

// The start-up progress box. The shell loads this library by name, opens the
// box, sets captions and steps while it starts, closes it and unloads the
// library. Every function returns non-zero on success; 0 means the call did
// nothing (no GUI application yet, no open box, an unknown caption number).

namespace {

using vm::components::ProgressBox;

// Owns the open box. The library may be unloaded without a close: the box is
// then destroyed here, before its code goes away with the library.
struct OpenBox {
    QPointer<ProgressBox> box;
    ~OpenBox() {
        if (box && QApplication::instance()) delete box.data();
    }
};
OpenBox g_open;

// The box appears before anyone has logged in, so it speaks the workstation's
// start-up language: 1 English, any other number French.
bool startupLanguageIsEnglish() {
    try {
        return vm::core::SettingsStore().read(vm::core::SettingsStore::kValmorand, "language", "1") == "1";
    } catch (const std::exception&) {
        return true;
    }
}

} // namespace

extern "C" VM_EXPORT std::int32_t loading_Dialog_open() {
    if (g_open.box) return 1;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    try {
        const bool english = startupLanguageIsEnglish();
        auto* box = new ProgressBox(english, english ? "en" : "fr");
        g_open.box = box;
        box->show();
        box->raise();
        box->setCaptionNumber(0);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return 1;
    } catch (...) {
        return 0;
    }
}

extern "C" VM_EXPORT std::int32_t loading_Dialog_step() {
    if (!g_open.box) return 0;
    g_open.box->step();
    return 1;
}

extern "C" VM_EXPORT std::int32_t loading_Dialog_caption(std::int32_t number) {
    if (!g_open.box) return 0;
    return g_open.box->setCaptionNumber(number) ? 1 : 0;
}

extern "C" VM_EXPORT std::int32_t loading_Dialog_close() {
    delete g_open.box.data();
    g_open.box = nullptr;
    return 1;
}
