// A module library for the loader tests. It writes every field it received
// to the file named by VM_TESTMOD_REPORT and then does what VM_TESTMOD_ACTION
// says: "hook" installs an exception hook, "throw-std", "throw-local" and
// "throw-engine" throw (after the hook, when combined as "hook,throw-..."),
// "refuse" returns 0.
#include "common/core/ExceptionHook.h"
#include "common/core/LinkSection.h"
#include "engine/EngineError.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// Defined here so that its type information lives in this library only.
class LocalFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

int hookObject = 0;

void moduleHook(void* object, std::exception_ptr error) {
    std::ofstream out(env("VM_TESTMOD_REPORT"), std::ios::app);
    out << "hook object ok=" << (object == &hookObject) << "\n";
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        out << "hook error=" << e.what() << "\n";
    }
}

void report(const vm::core::TLinkSection& l) {
    std::ofstream out(env("VM_TESTMOD_REPORT"), std::ios::app);
    out << "LoginUser=" << l.LoginUser.view() << "\n"
        << "UserName=" << l.UserName.view() << "\n"
        << "Reserved1=" << l.Reserved1.view() << "\n"
        << "CompanyCode=" << l.CompanyCode.view() << "\n"
        << "CompanyName=" << l.CompanyName.view() << "\n"
        << "Language=" << l.Language << "\n"
        << "LangCode=" << l.LangCode.view() << "\n"
        << "PrinterIndex=" << l.PrinterIndex.view() << "\n"
        << "Reserved2=" << l.Reserved2.view() << "\n"
        << "Customer=" << l.Customer.view() << "\n"
        << "ProgramDir=" << l.ProgramDir.view() << "\n"
        << "DataDir=" << l.DataDir.view() << "\n"
        << "Reserved3=" << l.Reserved3.view() << "\n"
        << "Reserved4=" << l.Reserved4.view() << "\n"
        << "Reserved5=" << int(l.Reserved5) << "\n"
        << "Reserved6=" << l.Reserved6.view() << "\n"
        << "SessionId=" << l.SessionId << "\n"
        << "Reserved7=" << l.Reserved7 << "\n"
        << "UserDetail=" << l.UserDetail << "\n"
        << "LedgerPrefix=" << l.LedgerPrefix.view() << "\n"
        << "LoginUserShares=" << l.LoginUser.useCount() << "\n";
}

} // namespace

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link) {
    report(link);
    // A module may scribble on its own copy; the caller's must not change.
    link.CompanyName = "changed by the module";
    link.SessionId = -5;

    const std::string action = env("VM_TESTMOD_ACTION");
    if (action.find("hook") != std::string::npos) vm::core::installExceptionHook({&moduleHook, &hookObject});
    if (action.find("throw-std") != std::string::npos) throw std::runtime_error("standard failure");
    if (action.find("throw-local") != std::string::npos) throw LocalFailure("local failure");
    if (action.find("throw-engine") != std::string::npos)
        throw vm::EngineError(vm::errc::kKeyViolation, "key violation in cli");
    if (action.find("refuse") != std::string::npos) return 0;
    return -1;
}
