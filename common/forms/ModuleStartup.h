#pragma once
#include "common/core/LinkSection.h"

#include <QString>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QStatusBar;
class QWidget;

namespace vm {
class Cursor;
}

namespace vm::forms {

// What every module's main form does on its first activation, over the
// module's own copy of the session record: form texts, fall-back values,
// status bar, help path, database alias, opening tables.
class ModuleStartup {
public:
    explicit ModuleStartup(core::TLinkSection& link) : link_(link) {}

    // The suite's version as four dot-separated numbers ("1.0.0.1"): what the
    // status bar shows for a module library built with this tree.
    static QString projectVersion();

    // A module started without the shell (empty CompanyCode) runs on
    // company "1" with the directories of the workstation's settings:
    // ProgramDir = pgmdrive + "/Valmorand/bin", DataDir = datadrive +
    // "/Valmorand/data" (section "Valmorand"). Without those values the
    // program's own directory serves as ProgramDir and "<ProgramDir>/../data"
    // as DataDir. Returns whether the fall-backs were applied.
    bool applyFallbacks();

    // Translates a form with the language table `<stem><LangCode>`. From
    // then on the module reads and shows amounts and rates with the
    // separators of the session's language (even when the table is missing
    // and this throws).
    void translate(QWidget& form, const std::string& stem) const;
    // The error form and other shared forms: table MainMenu<LangCode>; the
    // designed (English) texts stay when the table cannot be read.
    void translateShared(QWidget& form) const;

    // The `intl` setting: international terminology instead of Canadian.
    static bool international();
    // Sets the text of named components (labels, buttons, check boxes, group
    // boxes, tab pages): for the terminology replacements of each module.
    static void setTexts(QWidget& form, const std::vector<std::pair<QString, QString>>& texts);

    // Gives every masked date edit of a form the workstation's date mask:
    // line edits whose mask is one of the designed date masks ("99/99/9999",
    // "9999/99/99", with or without a leading "!"). Other masks are left
    // as designed. Returns how many edits were changed.
    static int applyDateMasks(QWidget& form);

    // A report window's status bar "StatusBar1": three panels, Panel0 twice as
    // wide as the others, for fillStatusBar.
    static QStatusBar* makeStatusBar(QWidget* parent);

    // Appends company, user and version to the three panels of a status bar
    // (direct QLabel children, in order). A bar with another number of
    // panels is left alone.
    void fillStatusBar(QStatusBar& bar, const QString& version = projectVersion()) const;

    // The help folder of the session language, beside the program folder:
    // ProgramDir + "/../help/en" when Language is 1, else ".../help/" +
    // LangCode ("en" when LangCode is empty).
    QString helpPath() const;

    // The company directory: DataDir immediately followed by CompanyCode.
    std::string companyDirectory() const;
    // Points the module's company alias at the company directory and, when
    // given, its system alias at DataDir.
    void pointAliases(const std::string& companyAlias, const std::string& systemAlias = {}) const;

    // Opens a table of an alias or directory. When it cannot be opened, shows
    // "Error opening table <name>." (French: "Erreur lors de l'ouverture de
    // la table <name>."), asks the application's main window to close and
    // returns nullptr; the module then closes its own window.
    std::unique_ptr<Cursor> openTable(const std::string& aliasOrDirectory, const std::string& table,
                                      bool readOnly = false, QWidget* parent = nullptr) const;

    // "Error opening table <name>." in the session's language (1 English,
    // else French): the one text of every window and picker for a table
    // that cannot be opened.
    static QString tableOpenErrorText(int language, const QString& table);
    // A module's table could not be opened at start-up: tells the user (the
    // box titled with the window's name), asks the main window to close and
    // closes `window` once the event loop turns.
    void reportTableOpenError(QWidget& window, const std::string& table) const;

    // Asks the application's main window (the shell's desktop: the top-level
    // window with the property "vmMainWindow", else the first main window)
    // to close once the event loop turns.
    static void requestMainWindowClose();

private:
    core::TLinkSection& link_;
};

} // namespace vm::forms
