// A module library for the desktop's launch tests. It appends the record it
// received to the file named by VM_SHELLMOD_REPORT (one "Field=value" line
// each, then "---") and returns 0 when VM_SHELLMOD_ACTION is "refuse", -1
// otherwise.
#include "common/core/LinkSection.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection l) {
    const char* path = std::getenv("VM_SHELLMOD_REPORT");
    if (path && *path) {
        std::ofstream out(path, std::ios::app);
        out << "LoginUser=" << l.LoginUser.view() << "\n"
            << "UserName=" << l.UserName.view() << "\n"
            << "CompanyCode=" << l.CompanyCode.view() << "\n"
            << "CompanyName=" << l.CompanyName.view() << "\n"
            << "Language=" << l.Language << "\n"
            << "LangCode=" << l.LangCode.view() << "\n"
            << "PrinterIndex=" << l.PrinterIndex.view() << "\n"
            << "Customer=" << l.Customer.view() << "\n"
            << "ProgramDir=" << l.ProgramDir.view() << "\n"
            << "DataDir=" << l.DataDir.view() << "\n"
            << "SessionId=" << l.SessionId << "\n"
            << "UserDetail=" << l.UserDetail << "\n"
            << "LedgerPrefix=" << l.LedgerPrefix.view() << "\n"
            << "---\n";
    }
    const char* action = std::getenv("VM_SHELLMOD_ACTION");
    return action && std::string(action) == "refuse" ? 0 : -1;
}
