#include "shell/core/DesktopLayout.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "shell/core/ShellSettings.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cctype>

namespace vm::shell {
namespace {

constexpr const char* kKinds[] = {"wallpaper", "icon", "frame", "grid", "todo"};
// No desktop is this large; a larger number is damage, not a position.
constexpr int kLargest = 100000;
constexpr std::size_t kMostColumns = 64;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QJsonObject header(int type) {
    return QJsonObject{{"v", DesktopCodec::kVersion}, {"kind", QLatin1String(kKinds[type])}};
}

QJsonObject withRect(QJsonObject o, const Rect& r) {
    o.insert("left", r.left);
    o.insert("top", r.top);
    o.insert("width", r.width);
    o.insert("height", r.height);
    return o;
}

DesktopRow row(int componentIndex, int type, const QJsonObject& o) {
    return {componentIndex, type, QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString()};
}

// Reading one row; every failure names the row.
class RowReader {
public:
    RowReader(const DesktopRow& r, std::size_t position) : row_(r), position_(position) {
        if (r.type < WallpaperRow || r.type > ToDoTextRow)
            fail("unknown element type " + std::to_string(r.type));
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.component), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) fail("not a saved element");
        o_ = doc.object();
        const int version = integer("v", 1, kLargest);
        if (version != DesktopCodec::kVersion)
            fail("saved by another version of Valmorand (" + std::to_string(version) + ")");
        if (o_.value("kind").toString() != QLatin1String(kKinds[r.type]))
            fail("its contents do not match its type " + std::to_string(r.type));
    }

    [[noreturn]] void fail(const std::string& why) const {
        throw DesktopError("Desktop row " + std::to_string(position_ + 1) + " (type " +
                           std::to_string(row_.type) + ", element " + std::to_string(row_.componentIndex) +
                           "): " + why + ".");
    }

    int integer(const char* key, int low, int high) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (!v.isDouble()) fail(std::string("\"") + key + "\" is missing");
        const double d = v.toDouble();
        if (d != static_cast<double>(static_cast<long long>(d)) || d < low || d > high)
            fail(std::string("\"") + key + "\" is out of range");
        return static_cast<int>(d);
    }
    std::string text(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (!v.isString()) fail(std::string("\"") + key + "\" is missing");
        return v.toString().toStdString();
    }
    bool flag(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (!v.isBool()) fail(std::string("\"") + key + "\" is missing");
        return v.toBool();
    }
    Rect rect() const {
        return {integer("left", -kLargest, kLargest), integer("top", -kLargest, kLargest),
                integer("width", 1, kLargest), integer("height", 1, kLargest)};
    }
    std::vector<int> widths() const {
        const QJsonValue v = o_.value("columns");
        if (!v.isArray() || v.toArray().size() > static_cast<qsizetype>(kMostColumns))
            fail("\"columns\" is missing");
        std::vector<int> out;
        for (const QJsonValue c : v.toArray()) {
            if (!c.isDouble() || c.toDouble() < 0 || c.toDouble() > kLargest)
                fail("\"columns\" is out of range");
            out.push_back(c.toInt());
        }
        return out;
    }

private:
    const DesktopRow& row_;
    std::size_t position_;
    QJsonObject o_;
};

} // namespace

std::vector<DesktopRow> DesktopCodec::encode(const DesktopState& s) {
    std::vector<DesktopRow> rows;
    int position = 0;
    QJsonObject w = header(WallpaperRow);
    w.insert("picture", qs(s.wallpaper));
    rows.push_back(row(position++, WallpaperRow, w));
    for (const IconState& icon : s.icons) {
        QJsonObject o = withRect(header(IconRow), icon.geometry);
        o.insert("name", qs(icon.name));
        o.insert("caption", qs(icon.caption));
        o.insert("picture", qs(icon.picture));
        o.insert("shown", icon.shown);
        rows.push_back(row(position++, IconRow, o));
    }
    for (int i = 0; i < kPanelCount; ++i) {
        const FrameState& f = s.frames[static_cast<std::size_t>(i)];
        QJsonObject o = withRect(header(FrameRow), f.geometry);
        o.insert("shown", f.shown);
        rows.push_back(row(i, FrameRow, o));
    }
    for (int i = 0; i < kListCount; ++i) {
        QJsonObject o = header(GridRow);
        QJsonArray widths;
        for (int c : s.grids[static_cast<std::size_t>(i)].columnWidths)
            widths.append(c);
        o.insert("columns", widths);
        rows.push_back(row(i, GridRow, o));
    }
    QJsonObject t = header(ToDoTextRow);
    t.insert("text", qs(s.toDoText));
    rows.push_back(row(position, ToDoTextRow, t));
    return rows;
}

DesktopState DesktopCodec::decode(const std::vector<DesktopRow>& rows, const DesktopState& base) {
    DesktopState s = base;
    bool iconsSeen = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DesktopRow& r = rows[i];
        const RowReader in(r, i);
        switch (r.type) {
        case WallpaperRow:
            s.wallpaper = in.text("picture");
            break;
        case IconRow: {
            // Saved icons replace the designed ones.
            if (!iconsSeen) s.icons.clear();
            iconsSeen = true;
            IconState icon;
            icon.name = in.text("name");
            if (icon.name.empty()) in.fail("the icon has no name");
            icon.caption = in.text("caption");
            icon.picture = in.text("picture");
            icon.geometry = in.rect();
            icon.shown = in.flag("shown");
            s.icons.push_back(std::move(icon));
            break;
        }
        case FrameRow:
            if (r.componentIndex < 0 || r.componentIndex >= kPanelCount) in.fail("no such frame");
            s.frames[static_cast<std::size_t>(r.componentIndex)] = {in.rect(), in.flag("shown")};
            break;
        case GridRow:
            if (r.componentIndex < 0 || r.componentIndex >= kListCount) in.fail("no such list");
            s.grids[static_cast<std::size_t>(r.componentIndex)].columnWidths = in.widths();
            break;
        case ToDoTextRow:
            s.toDoText = in.text("text");
            break;
        }
    }
    return s;
}

// --- desktop.db ---------------------------------------------------------

std::vector<DesktopRow> DesktopStore::load(Database& dataRoot, const std::string& userCode) {
    Cursor c(dataRoot, "desktop", true);
    c.setIndex("Desktop_user");
    std::vector<DesktopRow> rows;
    for (bool on = c.setRange({Value(userCode)}); on; on = c.next()) {
        const Value blob = c.value("Desktop_Component");
        const Bytes bytes = blob.isNull() ? Bytes{} : blob.asBytes();
        rows.push_back({static_cast<int>(c.integer("Desktop_ComponentIndex")),
                        static_cast<int>(c.integer("Desktop_Component_type")),
                        std::string(bytes.begin(), bytes.end())});
    }
    return rows;
}

void DesktopStore::save(Database& dataRoot, const std::string& userCode,
                        const std::vector<DesktopRow>& rows) {
    Transaction tx(dataRoot, true);
    {
        Cursor c(dataRoot, "desktop");
        c.setIndex("Desktop_user");
        for (bool on = c.setRange({Value(userCode)}); on; on = c.first())
            c.remove();
        for (const DesktopRow& r : rows) {
            c.insert();
            c.set("Desktop_user", Value(userCode));
            c.set("Desktop_ComponentIndex", Value(r.componentIndex));
            c.set("Desktop_Component_type", Value(r.type));
            c.set("Desktop_Component", Value(Bytes(r.component.begin(), r.component.end())));
            c.post();
        }
    }
    tx.commit();
}

// --- geometry -----------------------------------------------------------

namespace DesktopGeometry {
namespace {
Rect scaled(const Rect& r, double fw, double fh, bool up) {
    Rect out = r;
    // A product of the designed factors is exact enough in double that
    // truncation loses at most the pixel the rule allows.
    out.width = static_cast<int>(up ? r.width * fw : r.width / fw);
    out.height = static_cast<int>(up ? r.height * fh : r.height / fh);
    if (out.width < kMinimumSide || out.height < kMinimumSide || out.width > kLargest ||
        out.height > kLargest)
        return r;
    return out;
}
} // namespace

Rect enlarge(const Rect& r) {
    return scaled(r, 1.15, 1.25, true);
}
Rect reduce(const Rect& r) {
    return scaled(r, 1.15, 1.25, false);
}
Rect enlargeNote(const Rect& r) {
    return scaled(r, 1.15, 1.15, true);
}
Rect reduceNote(const Rect& r) {
    return scaled(r, 1.15, 1.15, false);
}

Rect dragTo(const Rect& frame, int left, int top, int desktopWidth, int desktopHeight) {
    Rect out = frame;
    out.left = std::clamp(left, 0, std::max(0, desktopWidth - frame.width));
    out.top = std::clamp(top, 0, std::max(0, desktopHeight - frame.height));
    return out;
}
} // namespace DesktopGeometry

// --- lists and icons ----------------------------------------------------

const char* listDisplayOption(int list) {
    static constexpr const char* codes[] = {"custview", "vendview", "glview", "paview"};
    return list >= 0 && list < kListCount ? codes[list] : "";
}

const char* listMaintenanceShortcut(int list) {
    static constexpr const char* codes[] = {"custmaintS", "vendmaintS", "glmaintS", "paemployS"};
    return list >= 0 && list < kListCount ? codes[list] : "";
}

const char* panelIconName(int panel) {
    static constexpr const char* names[] = {"ClientBtn", "SupplierBtn", "AccountsBtn", "EmployeeBtn",
                                            "ToDoListBtn"};
    return panel >= 0 && panel < kPanelCount ? names[panel] : "";
}

std::optional<int> panelOfIcon(const std::string& iconName) {
    for (int i = 0; i < kPanelCount; ++i)
        if (iconName == panelIconName(i)) return i;
    return std::nullopt;
}

bool listAllowed(int list, const std::vector<std::string>& catalogueCodes) {
    const std::string code = listDisplayOption(list);
    return !code.empty() &&
           std::find(catalogueCodes.begin(), catalogueCodes.end(), code) != catalogueCodes.end();
}

std::string accountTypeText(const std::string& glmType, int language) {
    if (glmType.empty()) return glmType;
    const bool english = language == 1;
    switch (std::toupper(static_cast<unsigned char>(glmType.front()))) {
    case 'A':
        return english ? "Asset" : "Actif";
    case 'P': // the English letter set's liability
    case 'L': // the French letter set's
        return english ? "Liability" : "Passif";
    case 'C':
        return "Capital";
    case 'R':
        return english ? "Revenue" : "Revenu";
    case 'D':
    case 'E':
        return english ? "Expense" : "Dépense";
    default:
        return glmType;
    }
}

DesktopMenuFlags DesktopMenuFlags::of(const ShellSettings& s) {
    DesktopMenuFlags f;
    f.payroll = s.payrollOn();
    f.ccqEntries = !(s.payrollOn() && !s.payrollCCQOn());
    f.tracker = s.trackerOn();
    f.jobCost = s.jobCostOn();
    return f;
}

DesktopState standardDesktop(const std::array<std::string, kPanelCount>& captions) {
    DesktopState s;
    for (int i = 0; i < kPanelCount; ++i) {
        IconState icon;
        icon.name = panelIconName(i);
        icon.caption = captions[static_cast<std::size_t>(i)];
        icon.geometry = {12, 12 + 96 * i, 89, 89};
        s.icons.push_back(icon);
        const bool note = i == ToDoNote;
        s.frames[static_cast<std::size_t>(i)] = {
            {note ? 560 : 120 + 28 * i, note ? 40 : 20 + 28 * i, note ? 300 : 600, note ? 240 : 300}, false};
    }
    return s;
}

} // namespace vm::shell
