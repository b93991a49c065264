#pragma once

namespace vm::shell {

// Lines of the main window's hidden message list (its texts live in the
// language tables, form MainForm, component IntlStrings1).
namespace msg {
constexpr int kWallpaperMissing = 0; // any picture of the desktop
constexpr int kShortcutNameTaken = 1;
// Line tag + 3 names the ledger of a menu with that tag (the option
// catalogue appends it to each caption): 3 general ledger … 12 job cost.
constexpr int kLedgerNameBase = 3;
constexpr int kTrackerDatabaseNeeded = 11;
constexpr int kPayrollFilesMissing = 13;
// The refusal of a shortcut and the payroll library failure have lines of
// their own: lines 3 and 12 already name ledgers.
constexpr int kShortcutNotAvailable = 14;
constexpr int kPayrollLibraryMissing = 15;
constexpr int kNoSessionSlot = 16;
constexpr int kNoCompany = 17;
constexpr int kCompanyNotOpened = 18;
constexpr int kHelpMissing = 19;
constexpr int kNoPrinter = 20;
constexpr int kNoUser = 21;
constexpr int kDataDirNotOpened = 22;
// "%1" the option, "%2" the system's error number.
constexpr int kLoadError = 23;
constexpr int kAccessDeniedLine = 24;
constexpr int kOptionsLoadError = 25; // "%1" the error number
// Tool tips of greyed options.
constexpr int kNotInstalled = 26;
constexpr int kRightsForbid = 27;
// The desktop's dialogs and faults.
constexpr int kIconPictureFilters = 28;
constexpr int kWallpaperFilters = 29;
constexpr int kWallpaperDialog = 30;
constexpr int kListNotOpened = 31;
constexpr int kDesktopUnreadable = 32;
constexpr int kDesktopNotSaved = 33;
constexpr int kServerNotReached = 34;
} // namespace msg

// The refusal shown before any language table is read (the progress box at
// start); afterwards line kAccessDeniedLine says it in the session language.
inline constexpr char kAccessDenied[] = "Access denied...";

} // namespace vm::shell
