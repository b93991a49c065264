#include "shell/core/OptionCatalogue.h"

#include "shell/core/MenuCatalog.h"
#include "shell/core/ShellSettings.h"

namespace vm::shell {

OptionCatalogue OptionCatalogue::build(const ShellSettings& settings, const StateOf& stateOf,
                                       const LedgerName& ledgerName, bool enabledOnly) {
    std::vector<int> tags = {MenuCatalog::GeneralLedger, MenuCatalog::Receivables, MenuCatalog::Payables,
                             MenuCatalog::SystemManager, MenuCatalog::Invoicing};
    if (settings.payrollOn()) tags.push_back(MenuCatalog::Payroll);
    if (settings.trackerOn()) tags.push_back(MenuCatalog::Tracker);
    if (settings.jobCostOn()) tags.push_back(MenuCatalog::JobCost);

    OptionCatalogue cat;
    for (int tag : tags) {
        const LedgerMenu& menu = MenuCatalog::menu(tag);
        const std::string ledger = ledgerName(tag);
        for (const auto& group : menu.groups) {
            for (const auto& option : group.options) {
                const OptionState st = stateOf(option.name);
                if (!st.visible) continue;
                cat.captions.push_back(st.caption + ledger);
                cat.codes.push_back(!enabledOnly || st.enabled ? option.name : std::string());
            }
        }
    }
    return cat;
}

} // namespace vm::shell
