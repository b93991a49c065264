#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm::shell {

// What the shell knows when a menu entry or desktop shortcut is chosen.
struct LaunchContext {
    std::optional<int> trackerAccount;       // the database chosen under Tracker/Open database
    std::vector<std::string> catalogueCodes; // the option catalogue's code list
    bool payrollOn = false;                  // settings flag `payroll`
    // Whether the company has its payroll department table; asked only when
    // a payroll option needs it.
    std::function<bool()> payrollFilesExist;
};

// The checks and naming rules that come before any library is loaded.
struct LaunchPlan {
    bool launch = false;         // false: show messageEntry and stop
    int messageEntry = -1;       // line of the shell's message list
    bool informationBox = false; // the message is information, not a warning
    std::string code;            // the option after normalisation
    std::string library;         // the module library to load (file stem)
    std::string ledgerPrefix;    // LedgerPrefix for the call; empty when none
};

class LaunchPlanner {
public:
    // In order: a tracker option needs a chosen tracker database (whose
    // number becomes the prefix); a trailing "p" (not of "firmedit") and a
    // trailing "f" are dropped; a shortcut ("S") must name an option of the
    // catalogue; a payroll option (or the transaction-journal report) needs
    // the payroll files when payroll is on, except the option that creates
    // them. The shared ledger reports map to their report module and ledger.
    static LaunchPlan plan(const std::string& entryName, const LaunchContext& context);

    static bool isTrackerOption(const std::string& code);
    static bool needsPayrollFiles(const std::string& code);
};

} // namespace vm::shell
