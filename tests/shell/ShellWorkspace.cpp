#include "tests/shell/ShellWorkspace.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace vm::test {

ShellWorkspace::ShellWorkspace(const std::vector<schema::UserRecord>& users, bool withCompany) {
    root_ = tmp_.path().toStdString();
    dataDir_ = schema::dataDirOf(root_);
    programDir_ = root_ + "/Valmorand/bin";
    schema::createDataRoot(dataDir_, users);
    if (withCompany) schema::createCompany(dataDir_, 1, "Northwind Supply");
    fs::create_directories(programDir_);
    fs::copy_file(fs::path(VM_PROGRAM_DIR) / "Valmorand32.jpg", fs::path(programDir_) / "Valmorand32.jpg");
    set("Valmorand", "pgmdrive", root_);
    set("Valmorand", "datadrive", root_);
}

void ShellWorkspace::set(const char* section, const char* name, const std::string& value) const {
    settings().write(section, name, value);
}

void ShellWorkspace::installTestModule(const std::string& code) const {
    fs::copy_file(VM_SHELL_TEST_MODULE, fs::path(programDir_) / (code + ".so"),
                  fs::copy_options::overwrite_existing);
}

void ShellWorkspace::installProgramLibrary(const std::string& code) const {
    fs::copy_file(fs::path(VM_PROGRAM_DIR) / (code + ".so"), fs::path(programDir_) / (code + ".so"),
                  fs::copy_options::overwrite_existing);
}

std::string ShellWorkspace::report() const {
    std::ifstream in(reportPath());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ShellWorkspace::clearReport() const {
    fs::remove(reportPath());
}

schema::UserRecord ShellWorkspace::user(const std::string& password, const std::string& name,
                                        const schema::UserRights& rights, int language) {
    schema::UserRecord u;
    u.password = password;
    u.code = password;
    u.name = name;
    u.language = language;
    u.company = 1;
    u.rights = rights;
    return u;
}

} // namespace vm::test
