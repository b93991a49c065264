#pragma once
#include <functional>
#include <string>
#include <vector>

namespace vm::shell {

struct ShellSettings;

// The catalogue of options the shell hands to the Tools-menu maintenance
// module and checks desktop shortcuts against: two parallel lists, the
// captions (each followed by the name of its ledger) and the codes.
struct OptionCatalogue {
    std::vector<std::string> captions;
    std::vector<std::string> codes;

    // The current look of one menu option.
    struct OptionState {
        std::string caption;
        bool visible = true;
        bool enabled = true;
    };
    using StateOf = std::function<OptionState(const std::string& optionName)>;
    using LedgerName = std::function<std::string(int tag)>;

    // Walks the option groups of the general ledger, receivables, payables,
    // system manager and invoicing menus, then payroll, tracker and job cost
    // when their settings flags are "Y". Only visible options are listed. In
    // enabled-only mode a disabled option keeps its caption but has an
    // empty code, so that the lists stay parallel; otherwise every listed
    // option has its code.
    static OptionCatalogue build(const ShellSettings& settings, const StateOf& stateOf,
                                 const LedgerName& ledgerName, bool enabledOnly);
};

} // namespace vm::shell
