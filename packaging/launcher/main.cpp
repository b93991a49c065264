// valmorand: starts the desktop. On a workstation without settings it first
// offers to make a data folder in the user's data (empty or with the demo
// company), then hands over to deskmain, which opens the login.
#include "common/core/SettingsStore.h"
#include "common/forms/Application.h"
#include "packaging/launcher/FirstStart.h"
#include "packaging/launcher/TFirstStartDlg.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::error_code ec;
    const std::string programDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    // Qt takes its own options out of argv: the desktop gets them as given.
    std::vector<std::string> given(argv + 1, argv + argc);
    const vm::core::SettingsStore store;
    {
        vm::forms::Application app(argc, argv);
        QApplication::setOrganizationName(QString());
        QApplication::setApplicationName(QStringLiteral("valmorand"));
        QApplication::setApplicationDisplayName(QStringLiteral("Valmorand"));
        const vm::launcher::FirstStart start(store, programDir);
        if (start.needed()) {
            vm::launcher::TFirstStartDlg dialog(start, vm::launcher::systemLanguage());
            if (dialog.exec() != QDialog::Accepted) return 1;
        } else {
            try {
                start.completeProgramDrive();
            } catch (const std::exception& e) {
                std::cerr << "valmorand: " << e.what() << "\n";
            }
        }
    }
    const std::string desktop = programDir + "/deskmain";
    std::vector<char*> args{const_cast<char*>(desktop.c_str())};
    for (std::string& a : given)
        args.push_back(a.data());
    args.push_back(nullptr);
    ::execv(desktop.c_str(), args.data());
    std::cerr << "valmorand: cannot start " << desktop << "\n";
    return 1;
}
