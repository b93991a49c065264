#pragma once
#include "common/core/SettingsStore.h"
#include "schema/Schema.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

namespace vm::test {

// A workstation for the desktop's flow tests: a temporary drive with a data
// root (DIR/Valmorand/data), a program directory (DIR/Valmorand/bin, with the
// wallpaper) and a settings file naming both.
class ShellWorkspace {
public:
    // With company 1 ("Northwind Supply") unless withCompany is false.
    explicit ShellWorkspace(const std::vector<schema::UserRecord>& users, bool withCompany = true);

    const std::string& root() const { return root_; }
    const std::string& dataDir() const { return dataDir_; }
    const std::string& programDir() const { return programDir_; }
    core::SettingsStore settings() const { return core::SettingsStore(root_ + "/settings.ini"); }
    void set(const char* section, const char* name, const std::string& value) const;

    // Installs the test module library under a module code, or any built
    // library of the program directory by its own name.
    void installTestModule(const std::string& code) const;
    void installProgramLibrary(const std::string& code) const;

    // What the test module wrote, one record a launch; cleared by clearReport.
    std::string report() const;
    std::string reportPath() const { return root_ + "/module-report.txt"; }
    void clearReport() const;

    static schema::UserRecord user(const std::string& password, const std::string& name,
                                   const schema::UserRights& rights, int language = 1);

private:
    QTemporaryDir tmp_;
    std::string root_, dataDir_, programDir_;
};

} // namespace vm::test
