#pragma once
#include "common/core/LinkSection.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm::core {

// What came of a launch when the module's call returned.
struct ModuleRun {
    bool loaded = false;     // false: the library could not be used; nothing ran
    std::int32_t result = 0; // ShowDllForm's result; 0 means the module refused the user
    int errorNumber = 0;     // when !loaded, see ModuleLoader
    std::string errorDetail; // when !loaded, the dynamic loader's own text (for logs)
};

// The shell's side of a launch, without the screen: load <code>.so from the
// program directory, call its ShowDllForm with a copy of the session record,
// and unload it again, whether the call returned or threw.
//
// Around the call the exception hook is saved and afterwards put back, which
// clears whatever the module installed: a launch from the shell (no hook
// before) leaves none, and a launch from inside another module's window
// leaves that module's own hook in place. No address inside the unloaded
// library survives.
//
// An exception that escapes the module is rethrown after the library is
// unloaded. When its type belongs to the module's library (it could not be
// used, or even destroyed, once the library is gone) it is replaced first:
// an engine error by a copy with the same error stack, anything else by a
// ModuleException with the same what() text. Standard library exceptions
// pass through as they are.
//
// Error numbers of a failed load:
//   126   no library file for the code (or the code is not a file name)
//   1157  the library is there but a library it needs is missing
//   127   the library loads but has no ShowDllForm export (it is unloaded)
//   170   the module is running already (started again from inside its own
//         window, through the quick link): nothing ran. A second run would
//         share the first one's library, session and work tables.
//   otherwise the system's errno at the failure (13: no permission, ...),
//   or 193 when the loader gives none (not a library of this machine, or a
//   symbol it needs is not found).
class ModuleLoader {
public:
    static constexpr int kNotFound = 126;
    static constexpr int kNoEntryPoint = 127;
    static constexpr int kBadFormat = 193;
    static constexpr int kDependencyMissing = 1157;
    static constexpr int kAlreadyRunning = 170;

    explicit ModuleLoader(std::string programDir) : programDir_(std::move(programDir)) {}

    const std::string& programDir() const { return programDir_; }
    // <programDir>/<code>.so ("./<code>.so" for an empty program directory).
    std::string libraryPath(std::string_view code) const;

    ModuleRun run(std::string_view code, const TLinkSection& link) const;

    // The Tools-menu maintenance variant: the same export, called with the
    // option catalogue (parallel caption and code lists).
    ModuleRun runWithOptions(std::string_view code, const TLinkSection& link,
                             const std::vector<std::string>& captions,
                             const std::vector<std::string>& codes) const;

    // "error loading option cashrcpt  126": the shell's message for a failed
    // load; and "error loading optedit126" for the maintenance launch.
    static std::string loadErrorMessage(std::string_view code, int errorNumber);
    static std::string optionsLoadErrorMessage(int errorNumber);

    // Whether the module library of this path is inside its ShowDllForm now,
    // in this process: the program's and every library's copy of this code
    // see the same list.
    static bool isRunning(const std::string& libraryPath);

private:
    template <typename Call> ModuleRun launch(std::string_view code, Call&& call) const;

    std::string programDir_;
};

} // namespace vm::core
