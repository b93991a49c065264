#pragma once
#include "common/core/LinkSection.h"
#include "common/core/SettingsStore.h"
#include "shell/PrinterList.h"
#include "shell/core/CompanyDirectory.h"
#include "shell/core/LanguageList.h"
#include "shell/core/OptionCatalogue.h"
#include "shell/core/SessionSlot.h"
#include "shell/core/ShellSettings.h"
#include "shell/core/ToolsTable.h"
#include "shell/core/TrackerTable.h"
#include "shell/core/UserDirectory.h"

#include <QMainWindow>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace vm {
class Database;
}
namespace vm::forms {
class MessageList;
}

namespace vm::shell {

class Desktop;
class ShellMenuBar;
class TAboutBox;
class TCompPasswordDlg;
class TContactForm;
class TPasswordDlg;
class TSetupWizard;
class WallpaperWidget;

// The desktop: the main window of deskmain. It keeps the session record for
// the whole run, claims a session slot, logs the user in, opens the user's
// company and launches the modules its menus name.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(core::SettingsStore settings, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The first activation: session slot, company list (creating the first
    // company when there is none), login, the user's company and menus.
    // Runs once, when the window is first shown (or when called). Returns
    // false when the shell is closing instead.
    bool firstActivation();
    // Tests run the first activation themselves.
    void setAutoActivate(bool on) { autoActivate_ = on; }

    const core::TLinkSection& link() const { return link_; }
    const ShellSettings& settings() const { return settings_; }
    ShellMenuBar& menus() const { return *menus_; }
    const OptionCatalogue& catalogue() const { return catalogue_; }
    int sessionId() const { return slot_.held() ? slot_.sessionId() : -1; }
    bool closingWithoutDesktop() const { return closingWithoutDesktop_; }
    QString statusText(int panel) const;
    const PrinterList& printers() const { return printers_; }

    TPasswordDlg& loginDialog() const { return *login_; }
    Desktop& desktop() const { return *desktop_; }
    TSetupWizard& setupWizard() const { return *wizard_; }

    // Menu actions, also reachable from the menus.
    void launchEntry(const QString& entryName);
    void chooseCompany(int index);
    void chooseLanguage(const QString& entryName);
    void choosePrinter(int index);
    void chooseTrackerDatabase(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void prepare();
    void translateAll(bool withLoginForms);
    void translateWindow(QWidget& form);
    void applyTerminology();
    void markUnavailable();
    void rebuildLanguageMenu();
    void checkLanguageEntry(const QString& entryName);
    void fillPrinterMenu();
    void rebuildCompanyList();
    void rebuildCompanyMenu();
    void selectCurrentCompany();
    void openUserCompany();
    bool pointCompanyAlias();
    QString locationFailure(int line, const std::string& location, const std::exception& e) const;
    void buildToolsMenu();
    void recaptionTools();
    void runTool(int index);
    void rebuildTrackerMenu();
    void rebuildCatalogue(bool enabledOnly);
    bool createFirstCompany();
    std::optional<UserRow> logIn();

    void runModule(const std::string& library, const std::string& code);
    void runToolsMaintenance();
    void afterLaunch(const std::string& code, bool addOn);
    void setWelcomeCaption(bool addOn = false);
    void restoreDesktop(bool standard);
    void applyMenuFlags();
    void saveDesktop();

    void showLine(int line, bool information = false);
    void closeWithoutDesktop();
    Database& dataRoot();

    core::SettingsStore store_;
    ShellSettings settings_;
    core::TLinkSection link_;

    ShellMenuBar* menus_;
    forms::MessageList* messages_;
    WallpaperWidget* wallpaper_;
    Desktop* desktop_;
    QLabel* panels_[4];
    TPasswordDlg* login_;
    TCompPasswordDlg* companyPassword_;
    TAboutBox* about_;
    TContactForm* contact_;
    TSetupWizard* wizard_;

    SessionSlot slot_;
    std::optional<UserRow> user_;
    std::vector<CompanyRow> companies_;
    std::vector<int> companyMenuCodes_; // parallel to Options/Company
    std::vector<LanguageRow> languages_;
    std::vector<ToolEntry> tools_;
    std::vector<TrackerDatabase> trackerDbs_;
    std::optional<int> trackerAccount_;
    PrinterList printers_;
    int printerIndex_ = 0;
    OptionCatalogue catalogue_;
    // Captions the terminology replaced, to give back when it is switched off.
    std::map<std::string, QString> replacedCaptions_;

    bool activated_ = false;
    bool autoActivate_ = true;
    bool wallpaperMissing_ = false;
    bool closingWithoutDesktop_ = false;
};

} // namespace vm::shell
