#pragma once
#include "shell/core/OptionCatalogue.h"

#include <QHash>
#include <QObject>
#include <QString>

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

    // The current caption, visibility and state of a ledger option.
    OptionCatalogue::OptionState optionState(const std::string& name) const;

signals:
    void optionChosen(const QString& name);

private:
    QAction* addOption(QMenu& menu, const std::string& name, const std::string& caption);

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
