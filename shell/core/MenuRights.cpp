#include "shell/core/MenuRights.h"

#include "shell/core/MenuCatalog.h"

namespace vm::shell {

std::map<std::string, bool> MenuRights::states(const schema::UserRights& rights) {
    std::map<std::string, bool> result;
    for (const auto& menu : MenuCatalog::ledgerMenus()) {
        for (std::size_t g = 0; g < menu.groups.size(); ++g) {
            const auto& options = menu.groups[g].options;
            for (std::size_t i = 0; i < options.size(); ++i)
                result[options[i].name] =
                    rights.allowsBit(bitOf(menu.tag, static_cast<int>(g), static_cast<int>(i)));
        }
        if (!menu.quickEntriesRepeat) continue;
        for (const auto& q : menu.quick)
            for (const auto& g : menu.groups)
                for (const auto& o : g.options)
                    if (o.name + "f" == q.name) result[q.name] = result[o.name];
    }
    return result;
}

} // namespace vm::shell
