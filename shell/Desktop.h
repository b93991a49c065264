#pragma once
#include "common/forms/LanguageTable.h"
#include "shell/core/DesktopLayout.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace vm {
class Database;
}

namespace vm::shell {

class DesktopFrame;
class DesktopIcon;
class ListFrame;
class NoteFrame;
class WallpaperWidget;

// What lies on the wallpaper: the four lists, the to-do note and the
// shortcut icons, with the desktop's pop-up menu. It keeps track of changes
// so that the desktop is saved only when it changed; what it saves and the
// rules of its frames are DesktopLayout's.
class Desktop : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Launches a menu option by name (a shortcut's "S" included).
        std::function<void(const QString&)> launch;
        // The option catalogue's captions and codes (enabled-only).
        std::function<std::pair<std::vector<std::string>, std::vector<std::string>>()> options;
        // A line of the shell's message list, and the same shown as a warning.
        std::function<QString(int line)> message;
        std::function<void(int line)> showLine;
        // The open company's database; nullptr when none is open.
        std::function<Database*()> company;
        // A row (MainForm, component) of the session's language table.
        std::function<std::optional<forms::LanguageEntry>(const char* component)> entry;
        // Translates a dialog before it is shown.
        std::function<void(QWidget&)> translate;
    };

    Desktop(WallpaperWidget& area, Hooks hooks, QObject* parent = nullptr);
    ~Desktop() override;

    void setProgramDir(const QString& dir) { programDir_ = dir; }
    // Names the lists' columns and account types in the session language.
    void retranslate(int language);

    DesktopState state() const;
    // Restores a saved desktop. Every list saved as shown is shown (its
    // table opened), whatever the user's rights. A picture that cannot be
    // loaded is told (line 0) and the designed one stays.
    void apply(const DesktopState& s);
    // The desktop as designed.
    void useStandard();
    DesktopState standard() const;

    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    // A list's "X" button or icon: opens or closes the list, only for a user
    // whose catalogue has the list's display option. The note needs no
    // right. Returns whether anything happened.
    bool toggle(int panel);
    bool shown(int panel) const;

    DesktopFrame* frame(int panel) const;
    ListFrame* list(int list) const;
    NoteFrame* note() const;
    const std::vector<DesktopIcon*>& icons() const { return icons_; }
    DesktopIcon* icon(const QString& name) const;
    QMenu* popup() const { return popup_; }
    WallpaperWidget& wallpaper() const { return area_; }

    // "Add shortcut": the dialog, then addShortcutFor on its choice.
    void addShortcut();
    DesktopIcon* addShortcutFor(std::size_t catalogueIndex);
    // "Properties" of an icon, and of the wallpaper.
    void editIcon(DesktopIcon& icon);
    void chooseWallpaper();
    bool changeWallpaper(const QString& file);
    void deleteIcon(DesktopIcon& icon);

    // The company changed: the open lists read the new one.
    void reopenLists();
    void closeLists();
    // The Insert key in a list: its maintenance option, then the list again.
    void insertInto(int list);

private:
    DesktopIcon* makeIcon(const IconState& state);
    void showPanel(int panel, bool shown);
    void popupAt(const QPoint& global, DesktopIcon* icon);
    void markChanged();
    QString text(const char* component, const QString& fallback) const;
    QString line(int line, const QString& fallback) const;

    WallpaperWidget& area_;
    Hooks hooks_;
    QString programDir_;
    std::array<DesktopFrame*, kPanelCount> frames_{};
    std::vector<DesktopIcon*> icons_;
    QMenu* popup_;
    DesktopIcon* popupIcon_ = nullptr;
    bool changed_ = false;
    bool restoring_ = false;
};

} // namespace vm::shell
