// deskmain: the Valmorand desktop.
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/Application.h"
#include "shell/ProgressBoxLibrary.h"
#include "shell/TMainForm.h"
#include "shell/core/ShellSettings.h"

#include <memory>

int main(int argc, char** argv) {
    vm::forms::Application app(argc, argv);
    const vm::core::SettingsStore store;

    // The progress box comes from a component library; start-up goes on
    // without it.
    auto progress =
        std::make_unique<vm::shell::ProgressBoxLibrary>(vm::shell::ShellSettings::read(store).programDir());
    progress->open();
    progress->caption(0);

    QApplication::setApplicationName(QStringLiteral("Valmorand"));
    QApplication::setApplicationDisplayName(QStringLiteral("Valmorand"));
    progress->step();
    progress->caption(1);

    vm::shell::TMainForm form(store);

    vm::core::RegionalSettings::loadCurrent(store);
    progress->step();
    progress->step();
    progress->close();
    progress.reset();

    form.show();
    return app.exec();
}
