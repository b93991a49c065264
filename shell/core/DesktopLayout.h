#pragma once
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::shell {

// The desktop below the menu bar, without its widgets: what is saved for a
// user in desktop.db and restored at login, and the rules of its frames.

// The four lists and the to-do note, numbered as desktop.db numbers them.
enum DesktopPanel { ClientList = 0, SupplierList = 1, AccountList = 2, EmployeeList = 3, ToDoNote = 4 };
constexpr int kListCount = 4;
constexpr int kPanelCount = 5;

// Kinds of desktop.db rows (Desktop_Component_type).
enum DesktopRowType { WallpaperRow = 0, IconRow = 1, FrameRow = 2, GridRow = 3, ToDoTextRow = 4 };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct FrameState {
    Rect geometry;
    bool shown = false;
    bool operator==(const FrameState&) const = default;
};

struct IconState {
    std::string name; // an option code followed by "S", or one of the list icons' names
    std::string caption;
    std::string picture; // a file; empty for the designed picture
    Rect geometry;
    bool shown = true;
    bool operator==(const IconState&) const = default;
};

struct GridState {
    std::vector<int> columnWidths;
    bool operator==(const GridState&) const = default;
};

struct DesktopState {
    std::string wallpaper; // a file; empty for the designed picture
    std::vector<IconState> icons;
    std::array<FrameState, kPanelCount> frames{};
    std::array<GridState, kListCount> grids{};
    std::string toDoText; // rich text
    bool operator==(const DesktopState&) const = default;
};

// One row of desktop.db, without its user.
struct DesktopRow {
    int componentIndex = 0;
    int type = 0;
    std::string component; // Desktop_Component
};

// The saved properties of one element (Desktop_Component) are a small JSON
// object, readable in any SQLite browser: {"v":1,"kind":"frame",...}. "v"
// is the layout's version; a row of another version, of the wrong kind for
// its type, or with a field missing or out of range is refused as a whole.
class DesktopCodec {
public:
    static constexpr int kVersion = 1;

    // The rows of a desktop, in component order: wallpaper, icons, the five
    // frames, the four grids, the to-do text.
    static std::vector<DesktopRow> encode(const DesktopState& state);
    // The desktop the rows describe. Rows may come in any order; an element
    // without a row keeps what `base` has. Throws DesktopError naming the
    // first row that cannot be read.
    static DesktopState decode(const std::vector<DesktopRow>& rows, const DesktopState& base);
};

struct DesktopError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// desktop.db, one user's rows at a time.
class DesktopStore {
public:
    // The user's rows in the order they were saved.
    static std::vector<DesktopRow> load(Database& dataRoot, const std::string& userCode);
    // Replaces the user's rows by these in one transaction: a failure leaves
    // the rows saved before. Throws the engine's error.
    static void save(Database& dataRoot, const std::string& userCode, const std::vector<DesktopRow>& rows);
};

// Frame sizes and placing.
namespace DesktopGeometry {
// Enlarge: width × 1.15, height × 1.25; reduce divides by the same factors.
// Results are truncated to whole pixels; a frame never becomes smaller than
// kMinimumSide.
constexpr int kMinimumSide = 80;
Rect enlarge(const Rect& r);
Rect reduce(const Rect& r);
// The to-do note's pop-up scales by 1.15 both ways.
Rect enlargeNote(const Rect& r);
Rect reduceNote(const Rect& r);
// Where a dragged frame goes when the mouse asks for (left, top): every edge
// stays inside the desktop of that size, so a frame dragged against an edge
// stops there and still follows the mouse along it.
Rect dragTo(const Rect& frame, int left, int top, int desktopWidth, int desktopHeight);
// The frame's three buttons, left edges: close (width − 23), enlarge (− 46),
// reduce (− 65); the grid fills the frame's height less 34.
constexpr int kCloseOffset = 23, kEnlargeOffset = 46, kReduceOffset = 65, kGridMargin = 34;
} // namespace DesktopGeometry

// The display option whose right opens a list ("Display of clients"...).
const char* listDisplayOption(int list);
// The maintenance option the Insert key of a list launches, with the
// shortcut's "S".
const char* listMaintenanceShortcut(int list);
// The names of the icons that toggle a panel instead of launching.
const char* panelIconName(int panel);
std::optional<int> panelOfIcon(const std::string& iconName);
// Whether the option catalogue lets the user open a list.
bool listAllowed(int list, const std::vector<std::string>& catalogueCodes);

// The accounts list's "Type": the account type's first letter read in
// either letter set (A P/L C R D/E) and named in the session language
// (1 English, otherwise French); any other value as stored.
std::string accountTypeText(const std::string& glmType, int language);

struct ShellSettings;

// The menus a restored desktop shows, from the workstation's flags: with
// payroll on but CCQ off the five CCQ entries are hidden; the payroll,
// tracker and job-cost menus follow their flags.
struct DesktopMenuFlags {
    bool payroll = false;
    bool ccqEntries = true;
    bool tracker = false;
    bool jobCost = false;
    static DesktopMenuFlags of(const ShellSettings& settings);
};
inline constexpr const char* kCcqEntries[] = {"pactrl", "papaytype", "paunion", "pametier", "paccq"};

// The desktop as designed: the five list and note icons in a column at the
// left, every frame hidden in a cascade of places, the designed wallpaper.
// `captions` are the five icons' captions in the session language.
DesktopState standardDesktop(const std::array<std::string, kPanelCount>& captions);

} // namespace vm::shell
