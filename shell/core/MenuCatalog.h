#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::shell {

// A runnable menu entry: its name is the module code it launches (with the
// suffix "f" for a quick entry), its caption the designed English text.
struct MenuOption {
    std::string name;
    std::string caption;
};

// One option group of a ledger menu ("Edit", "Transactions", "Reports",
// "Procedures"); its position in the menu is its group number.
struct MenuGroup {
    std::string name;
    std::string caption;
    std::vector<MenuOption> options;
};

// A ledger menu of the menu bar: the quick entries at its top, then its
// option groups. The ledger tag selects the menu's block of rights bits.
struct LedgerMenu {
    std::string name;
    std::string caption;
    int tag = 0;
    std::vector<MenuOption> quick;
    std::vector<MenuGroup> groups;
    // Quick entries repeat an option of a group and take its state. The
    // tracker's lead entries ("Create database") are not repeats.
    bool quickEntriesRepeat = true;
};

// The designed menus, in menu-bar order: general ledger, receivables,
// payables, invoicing, system manager, payroll, tracker, job cost.
class MenuCatalog {
public:
    enum Tag {
        GeneralLedger = 0,
        Receivables = 1,
        Payables = 2,
        SystemManager = 3,
        Invoicing = 4,
        Payroll = 5,
        Tracker = 6,
        JobCost = 9
    };

    static const std::vector<LedgerMenu>& ledgerMenus();
    static const LedgerMenu& menu(int tag); // throws std::out_of_range for an unknown tag

    // The option of that name in any group of any ledger menu.
    static const MenuOption* findOption(std::string_view name);
    // The menu whose groups hold an option of that name (tag), if any.
    static std::optional<int> tagOf(std::string_view optionName);

    // Codes with a meaning to the launch.
    static constexpr char kCompanyCreation[] = "firmnew";
    static constexpr char kCompanyMaintenance[] = "firmedit";
    static constexpr char kParameters[] = "parmedit";
    static constexpr char kToolsMaintenance[] = "optedit";
    static constexpr char kTrackerCreation[] = "trkcreate";
    static constexpr char kTrackerFamily[] = "trk";
    static constexpr char kPayrollFamily[] = "pa";
    static constexpr char kPayrollFileCreation[] = "pacreate";
    static constexpr char kTransactionJournalReport[] = "gltrjrnl";
    static constexpr char kPayrollDepartmentTable[] = "Pndept";
};

// The ledger report entries served by the two shared report modules: the
// library to load and the ledger it is told about in LedgerPrefix.
struct SharedReport {
    std::string library;
    std::string ledgerPrefix;
};
std::optional<SharedReport> sharedReportFor(std::string_view code);

} // namespace vm::shell
