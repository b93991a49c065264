#include "shell/core/Terminology.h"

namespace vm::shell {

std::vector<std::pair<std::string, std::string>> Terminology::menuReplacements(int language) {
    if (language == 1)
        return {{"gltaxrpt", "Tax 1 and Tax 2 report"},   {"chqedit", "Edit check entries"},
                {"chqrecur", "Recurring check entries"},  {"chqissue", "List of checks to be issued"},
                {"aprecchq", "List of recurring checks"}, {"chqprint", "Print and update checks"},
                {"chqfmt", "Maintenance of check format"}};
    return {{"gltaxrpt", "Rapport Tax 1 et Tax 2"}};
}

} // namespace vm::shell
