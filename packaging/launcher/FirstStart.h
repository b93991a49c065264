#pragma once
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace vm::core {
class SettingsStore;
}

namespace vm::launcher {

// What the launcher does before the desktop starts on a workstation that has
// no settings yet: the program folder is where the launcher itself lies, the
// data drive a folder of the user's own data, where a data root is made
// (empty, or with the demo company) by valmorand-admin.
class FirstStart {
public:
    // programDir is <prefix>/Valmorand/bin, the folder of the launcher.
    FirstStart(const core::SettingsStore& store, std::string programDir);

    // True when the settings name no data drive: the desktop would not know
    // where its data lies.
    bool needed() const;

    // <prefix>: the program drive the desktop finds Valmorand/bin under.
    std::string programDrive() const;
    const std::string& programDir() const { return programDir_; }
    // The user's data folder (its data root is <drive>/Valmorand/data).
    static std::string defaultDataDrive();

    // The valmorand-admin runs that make the data root on `dataDrive`, in
    // order; none when it already holds one (it is used as it is). language
    // is 1 English, 2 French: the demo company's own texts follow it.
    std::vector<QStringList> commands(const std::string& dataDrive, bool demo, int language) const;
    QString adminProgram() const;
    QString desktopProgram() const;

    // Writes pgmdrive, datadrive and the workstation language.
    void store(const std::string& dataDrive, int language) const;
    // Writes the program drive alone when the settings lack it (settings
    // written by hand with only the data drive).
    void completeProgramDrive() const;

private:
    const core::SettingsStore& store_;
    std::string programDir_;
};

// 2 when the system language is French, else 1.
int systemLanguage();

} // namespace vm::launcher
