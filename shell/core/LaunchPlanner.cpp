#include "shell/core/LaunchPlanner.h"

#include "common/core/LaunchCode.h"
#include "shell/core/MenuCatalog.h"
#include "shell/core/ShellMessages.h"

namespace vm::shell {
namespace {

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

LaunchPlan refuse(int entry, bool information = false) {
    LaunchPlan p;
    p.messageEntry = entry;
    p.informationBox = information;
    return p;
}

} // namespace

bool LaunchPlanner::isTrackerOption(const std::string& code) {
    return startsWith(code, MenuCatalog::kTrackerFamily) && code != MenuCatalog::kTrackerCreation;
}

bool LaunchPlanner::needsPayrollFiles(const std::string& code) {
    return (startsWith(code, MenuCatalog::kPayrollFamily) ||
            code == MenuCatalog::kTransactionJournalReport) &&
           code != MenuCatalog::kPayrollFileCreation;
}

LaunchPlan LaunchPlanner::plan(const std::string& entryName, const LaunchContext& context) {
    // The tracker family is told by the option it names, shortcut or not.
    std::string base = core::stripEntrySuffixes(entryName);
    if (core::isShortcutCode(base)) base.pop_back();

    std::string prefix;
    if (isTrackerOption(base)) {
        if (!context.trackerAccount) return refuse(msg::kTrackerDatabaseNeeded);
        prefix = std::to_string(*context.trackerAccount);
    }

    const std::optional<std::string> code = core::launchCode(entryName, context.catalogueCodes);
    if (!code) return refuse(msg::kShortcutNotAvailable);

    if (context.payrollOn && needsPayrollFiles(*code) &&
        !(context.payrollFilesExist && context.payrollFilesExist()))
        return refuse(msg::kPayrollFilesMissing, true);

    LaunchPlan p;
    p.launch = true;
    p.code = *code;
    p.library = *code;
    p.ledgerPrefix = prefix;
    if (const auto shared = sharedReportFor(*code)) {
        p.library = shared->library;
        p.ledgerPrefix = shared->ledgerPrefix;
    }
    return p;
}

} // namespace vm::shell
