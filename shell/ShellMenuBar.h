#pragma once
#include "shell/core/OptionCatalogue.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <string>

class QAction;
class QMainWindow;
class QMenu;

namespace vm::shell {

// The desktop's menu bar as designed: the ledger menus built from the menu
// catalogue (every runnable entry a QAction named after its code), then
// Options, Tools, Help and Exit. Emits optionChosen(name) for every entry
// that launches a module; the submenus filled at run time (companies,
// printers, languages, tracker databases, Tools) are filled by the window.
class ShellMenuBar : public QObject {
    Q_OBJECT
public:
    explicit ShellMenuBar(QMainWindow& window);

    // An entry (ledger option, quick entry, Options/Help item) by name.
    QAction* action(const QString& name) const { return actions_.value(name, nullptr); }
    QMenu* ledgerMenu(int tag) const { return ledgerMenus_.value(tag, nullptr); }

    QMenu* companyMenu() const { return company_; }
    QMenu* printerMenu() const { return printer_; }
    QMenu* languageMenu() const { return language_; }
    QMenu* toolsMenu() const { return tools_; }
    QMenu* trackerDatabaseMenu() const { return trackerOpen_; }
    QAction* helpTopics() const { return helpTopics_; }
    QAction* about() const { return about_; }
    QAction* contact() const { return contact_; }
    QAction* exitAction() const { return exit_; }

    // Enables the ledger options and quick entries as the user's rights say.
    void applyRights(const std::map<std::string, bool>& states);
    // Shows or hides a whole ledger menu.
    void setLedgerVisible(int tag, bool visible);

    // Gives every entry of the menu bar and of its menus an access key (an
    // "&" letter) that no other entry of the same menu has: a letter the
    // caption already marks is kept unless a sibling took it first, then the
    // first letter of a word, then any letter. Run after every translation
    // and after filling a submenu.
    void assignAccessKeys();
    static void assignAccessKeys(const QList<QAction*>& siblings);

    // An entry's caption as the user reads it (no access-key mark), and a
    // text to show as it stands (a company "Smith & Sons").
    static QString caption(const QAction& entry);
    static QString literal(QString text);

    // Greys the enabled options whose module library is not in the program
    // directory (`installed` says whether an option's library is there) and
    // gives every greyed option a tool tip saying why.
    void markUnavailable(const std::function<bool(const std::string&)>& installed,
                         const QString& notInstalled, const QString& rightsForbid);

    // Whether the user's rights allow an option (an entry the rights do not
    // govern counts as allowed when enabled).
    bool allowedByRights(const QString& name) const;

    // The width the menu bar needs to show every top-level entry with the
    // captions `caption` gives (the entry's name to its caption).
    int widthFor(const std::function<QString(const QAction&)>& caption) const;

    // The current caption, visibility and state of a ledger option.
    OptionCatalogue::OptionState optionState(const std::string& name) const;

signals:
    void optionChosen(const QString& name);

private:
    QAction* addOption(QMenu& menu, const std::string& name, const std::string& caption);

    QMainWindow& window_;
    // Options the rights leave enabled; only these may be greyed for a
    // missing library (and given back when it appears).
    QHash<QString, bool> rightsState_;

    QHash<QString, QAction*> actions_;
    QHash<int, QMenu*> ledgerMenus_;
    QMenu* company_ = nullptr;
    QMenu* printer_ = nullptr;
    QMenu* language_ = nullptr;
    QMenu* tools_ = nullptr;
    QMenu* trackerOpen_ = nullptr;
    QAction* helpTopics_ = nullptr;
    QAction* about_ = nullptr;
    QAction* contact_ = nullptr;
    QAction* exit_ = nullptr;
};

} // namespace vm::shell
