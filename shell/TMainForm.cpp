#include "shell/TMainForm.h"

#include "common/core/LinkStringQt.h"
#include "common/core/ModuleLoader.h"
#include "common/forms/FormTranslation.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/QtTranslations.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "shell/Desktop.h"
#include "shell/ShellMenuBar.h"
#include "shell/TAboutBox.h"
#include "shell/TCompPasswordDlg.h"
#include "shell/TContactForm.h"
#include "shell/TPasswordDlg.h"
#include "shell/TSetupWizard.h"
#include "shell/WallpaperWidget.h"
#include "shell/core/DesktopLayout.h"
#include "shell/core/FormGeometry.h"
#include "shell/core/LaunchPlanner.h"
#include "shell/core/MenuCatalog.h"
#include "shell/core/MenuRights.h"
#include "shell/core/SessionRecord.h"
#include "shell/core/ShellMessages.h"
#include "shell/core/Terminology.h"
#include "shell/core/WelcomeCaption.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace vm::shell {
namespace {

constexpr char kSystemAlias[] = "menumydb";
constexpr char kCompanyAlias[] = "menudata";
constexpr char kStem[] = "MainMenu";
// The help page of the desktop and the login.
constexpr int kDesktopHelpContext = 100;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

bool equalsNoCase(const std::string& a, const char* b) {
    return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The designed texts of the message list; the language tables replace them.
// Empties a menu filled at run time. Its entries are deleted once control
// is back in the event loop: the entry being clicked may be among them.
void clearLater(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        menu->removeAction(a);
        a->deleteLater();
    }
}

QStringList designedMessages() {
    return {
        QStringLiteral("The picture could not be loaded."),
        QStringLiteral("There is already a shortcut to this option."),
        QString(),
        QStringLiteral(" (General ledger)"),
        QStringLiteral(" (Accounts receivable)"),
        QStringLiteral(" (Accounts payable)"),
        QStringLiteral(" (System manager)"),
        QStringLiteral(" (Invoicing)"),
        QStringLiteral(" (Payroll)"),
        QStringLiteral(" (Tracker)"),
        QString(),
        QStringLiteral("Please choose a tracker database first (Tracker, Open database)."),
        QStringLiteral(" (Job cost)"),
        QStringLiteral("The payroll files of this company have not been created yet. "
                       "Please use \"Create payroll files\" first."),
        QStringLiteral("This shortcut's option is not available to you."),
        QStringLiteral("A library the payroll needs is missing. Please reinstall the payroll."),
        QStringLiteral("Every session of this data directory is in use. Valmorand will close."),
        QStringLiteral("No company has been created. Valmorand will close."),
        QStringLiteral("The company could not be opened:"),
        QStringLiteral("The help file is not installed:"),
        QStringLiteral("PDF file (no printer installed)"),
        QStringLiteral("No user is defined in this data directory. Valmorand will close."),
        QStringLiteral("The data directory could not be opened:"),
        QStringLiteral("error loading option %1  %2"),
        QStringLiteral("Access denied..."),
        QStringLiteral("error loading optedit%1"),
        QStringLiteral("This option is not installed on this workstation."),
        QStringLiteral("Your rights do not allow this option."),
        QStringLiteral("Bitmap image (*.bmp);;Jpeg image (*.jpg)"),
        QStringLiteral("Picture (*.jpg *.jpeg *.bmp *.png)"),
        QStringLiteral("Wallpaper"),
        QStringLiteral("The list could not be opened:"),
        QStringLiteral("Your saved desktop could not be read; the standard desktop is shown instead."),
        QStringLiteral("Your desktop could not be saved:"),
        QStringLiteral("The database server could not be reached. Check that it is running and that this "
                       "workstation may connect to it. Valmorand will close."),
    };
}

} // namespace

TMainForm::TMainForm(core::SettingsStore settings, QWidget* parent)
    : QMainWindow(parent), store_(std::move(settings)) {
    setObjectName(QStringLiteral("MainForm"));
    setProperty("vmMainWindow", true);
    setWindowTitle(QStringLiteral("Valmorand"));

    messages_ = new forms::MessageList(this, QStringLiteral("IntlStrings1"));
    messages_->setLines(designedMessages());
    menus_ = new ShellMenuBar(*this);
    wallpaper_ = new WallpaperWidget(this);
    setCentralWidget(wallpaper_);
    Desktop::Hooks hooks;
    hooks.launch = [this](const QString& name) { launchEntry(name); };
    hooks.options = [this] { return std::pair{catalogue_.captions, catalogue_.codes}; };
    hooks.message = [this](int line) { return messages_->message(line); };
    hooks.showLine = [this](int line) { showLine(line); };
    hooks.company = [this]() -> Database* {
        if (!user_ || !Session::instance().hasAlias(kCompanyAlias)) return nullptr;
        return &Session::instance().database(kCompanyAlias);
    };
    hooks.entry = [this](const char* component) -> std::optional<forms::LanguageEntry> {
        try {
            forms::LanguageTable table(kStem, link_.LangCode.str());
            return table.find("MainForm", component);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
    hooks.translate = [this](QWidget& w) { translateWindow(w); };
    desktop_ = new Desktop(*wallpaper_, std::move(hooks), this);

    const char* panelNames[] = {"StatusCompany", "StatusPrinter", "StatusHint", "StatusVersion"};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(statusBar());
        panels_[i]->setObjectName(QString::fromLatin1(panelNames[i]));
        panels_[i]->setContentsMargins(6, 0, 6, 0);
        statusBar()->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->hide(); // shown once a user is logged in

    login_ = new TPasswordDlg(this);
    companyPassword_ = new TCompPasswordDlg(this);
    about_ = new TAboutBox(this);
    contact_ = new TContactForm(this);

    connect(menus_, &ShellMenuBar::optionChosen, this, &TMainForm::launchEntry);
    connect(menus_->action(QStringLiteral("ChangeProperties1")), &QAction::triggered, desktop_,
            &Desktop::chooseWallpaper);
    connect(menus_->action(QStringLiteral("AddShortcut1")), &QAction::triggered, desktop_,
            &Desktop::addShortcut);
    connect(menus_->exitAction(), &QAction::triggered, this, &QWidget::close);
    connect(menus_->about(), &QAction::triggered, this, [this] {
        about_->setDataDirectory(qs(shownLocation(link_.DataDir.str())));
        about_->setVersion(forms::ModuleStartup::projectVersion());
        about_->exec();
    });
    connect(menus_->contact(), &QAction::triggered, this, [this] { contact_->exec(); });
    connect(menus_->helpTopics(), &QAction::triggered, this, [this] {
        forms::openHelpContents(forms::ModuleStartup(link_).helpPath(), link_.Language, this);
    });
    connect(login_, &TPasswordDlg::helpRequested, this, [this] {
        forms::openHelp(forms::ModuleStartup(link_).helpPath(), kDesktopHelpContext, link_.Language, login_);
    });

    prepare();
    wizard_ = new TSetupWizard(link_.Language, this);
}

TMainForm::~TMainForm() = default;

void TMainForm::prepare() {
    if (QScreen* screen = QApplication::primaryScreen(); screen && screen->size().width() == 640)
        setWindowState(Qt::WindowMaximized);
    link_.LedgerPrefix = {};

    settings_ = ShellSettings::read(store_);
    SessionRecord::applySettings(link_, settings_);
    translateWindow(*this);
    forms::useQtTranslations(core::toQString(link_.LangCode));
    applyTerminology();

    wallpaperMissing_ = !wallpaper_->load(qs(settings_.programDir()) + QStringLiteral("/Valmorand32.jpg"));
    wallpaper_->setPictureFile({}); // the designed picture
    desktop_->setProgramDir(qs(settings_.programDir()));
    desktop_->retranslate(link_.Language);
    desktop_->useStandard();
    desktop_->setChanged(false);

    menus_->setLedgerVisible(MenuCatalog::Payroll, settings_.payrollOn());
    menus_->setLedgerVisible(MenuCatalog::JobCost, settings_.jobCostOn());

    // The designed language entries, until languages.db is read.
    QMenu* lang = menus_->languageMenu();
    for (auto [name, caption] : {std::pair{"MenuItemen", "English"}, std::pair{"MenuItemfr", "Français"}}) {
        QAction* a = lang->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a] { chooseLanguage(a->objectName()); });
    }
    checkLanguageEntry(link_.Language == 1 ? QStringLiteral("MenuItemen") : QStringLiteral("MenuItemfr"));

    printers_ = PrinterList::system(messages_->message(msg::kNoPrinter));
    fillPrinterMenu();
    printerIndex_ = printers_.defaultIndex();
    SessionRecord::applyPrinter(link_, printerIndex_);
    choosePrinter(printerIndex_);

    const FormGeometry g = FormGeometry::parse(settings_.form);
    // Until the user has sized the window, it is wide enough for the menu
    // bar in either language (French captions are longer).
    int width = g.width;
    if (!g.useStoredPosition)
        for (const char* code : {"en", "fr"}) {
            try {
                forms::LanguageTable table(kStem, code);
                width = std::max(width, menus_->widthFor([&table](const QAction& a) {
                    const QString name = a.menu() ? a.menu()->objectName() : a.objectName();
                    const auto e = table.find("MainForm", name.toStdString());
                    return e ? qs(e->caption) : a.text();
                }));
            } catch (const std::exception&) {
                // No table for this language: its width is not known.
            }
        }
    resize(width, g.height);
    if (g.useStoredPosition)
        move(g.left, g.top);
    else if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMainForm::translateWindow(QWidget& form) {
    try {
        forms::translateForm(form, kStem, link_.LangCode.str());
    } catch (const std::exception&) {
        // No table for this language: the designed texts stay.
    }
}

void TMainForm::translateAll(bool withLoginForms) {
    translateWindow(*this);
    forms::useQtTranslations(core::toQString(link_.LangCode));
    replacedCaptions_.clear();
    translateWindow(*about_);
    translateWindow(*contact_);
    desktop_->retranslate(link_.Language);
    if (withLoginForms) {
        translateWindow(*login_);
        translateWindow(*companyPassword_);
    }
    // The stand-in for a missing printer is named in the session language.
    if (printers_.isPdfOnly()) {
        printers_ = PrinterList::system(messages_->message(msg::kNoPrinter));
        fillPrinterMenu();
        choosePrinter(printerIndex_);
    }
}

void TMainForm::applyTerminology() {
    const bool on = settings_.international();
    if (!on) {
        for (const auto& [name, caption] : replacedCaptions_)
            if (QAction* a = menus_->action(qs(name))) a->setText(caption);
        replacedCaptions_.clear();
        menus_->assignAccessKeys();
        return;
    }
    for (const auto& [name, caption] : Terminology::menuReplacements(link_.Language)) {
        QAction* a = menus_->action(qs(name));
        if (!a) continue;
        replacedCaptions_.try_emplace(name, a->text());
        a->setText(qs(caption));
    }
    menus_->assignAccessKeys();
}

void TMainForm::markUnavailable() {
    const core::ModuleLoader loader(link_.ProgramDir.str());
    menus_->markUnavailable(
        [&](const std::string& name) {
            LaunchContext context;
            context.trackerAccount = 0;
            context.catalogueCodes = {name};
            const LaunchPlan plan = LaunchPlanner::plan(name, context);
            return !plan.launch || QFileInfo::exists(qs(loader.libraryPath(plan.library)));
        },
        messages_->message(msg::kNotInstalled), messages_->message(msg::kRightsForbid));
}

Database& TMainForm::dataRoot() {
    return Session::instance().database(kSystemAlias);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (autoActivate_ && !activated_) QTimer::singleShot(0, this, [this] { firstActivation(); });
}

bool TMainForm::firstActivation() {
    if (activated_) return !closingWithoutDesktop_;
    activated_ = true;
    if (wallpaperMissing_) showLine(msg::kWallpaperMissing);

    // 1. The session slot.
    try {
        Session::instance().setAlias(kSystemAlias, settings_.dataDir());
        if (!slot_.claim(dataRoot())) {
            showLine(msg::kNoSessionSlot);
            closeWithoutDesktop();
            return false;
        }
    } catch (const std::exception& e) {
        QMessageBox::critical(this, QStringLiteral("Valmorand"),
                              locationFailure(msg::kDataDirNotOpened, settings_.dataDir(), e));
        closeWithoutDesktop();
        return false;
    }
    SessionRecord::applySessionSlot(link_, slot_.sessionId());

    // 2. The company list; the first company and its defaults when there is
    // none.
    try {
        companies_ = CompanyDirectory::list(dataRoot());
        if (companies_.empty() && !createFirstCompany()) {
            showLine(msg::kNoCompany);
            closeWithoutDesktop();
            return false;
        }

        // 3. Users and languages.
        languages_ = LanguageList::load(dataRoot());
    } catch (const EngineError& e) {
        QMessageBox::critical(this, QStringLiteral("Valmorand"),
                              locationFailure(msg::kDataDirNotOpened, settings_.dataDir(), e));
        closeWithoutDesktop();
        return false;
    }
    translateWindow(*login_);
    rebuildLanguageMenu();

    // 4. Login.
    user_ = logIn();
    if (!user_) {
        closeWithoutDesktop();
        return false;
    }

    // 5. The user's language.
    SessionRecord::applyLogin(link_, *user_, languages_);
    if (user_->language != 0) {
        checkLanguageEntry(QStringLiteral("MenuItem") + core::toQString(link_.LangCode));
        translateAll(true);
    }

    // 6. Rights, Tools, company, terminology.
    showNormal();
    statusBar()->show();
    menus_->applyRights(MenuRights::states(user_->rights));
    markUnavailable();
    buildToolsMenu();
    login_->clearPassword();
    openUserCompany();
    applyTerminology();
    rebuildCatalogue(true);

    // 7. The user's printer, when the system has it.
    const int userPrinter = printers_.indexOf(qs(user_->printer));
    if (userPrinter >= 0) choosePrinter(userPrinter);

    // 8. The user's desktop, or the standard one.
    restoreDesktop(login_->useStandardDesktop());

    // 9. Status bar and caption.
    panels_[0]->setText(core::toQString(link_.CompanyName));
    panels_[1]->setText(printers_.names().value(printerIndex_));
    setWelcomeCaption();
    if (settings_.trackerOn()) rebuildTrackerMenu();
    return true;
}

bool TMainForm::createFirstCompany() {
    runModule(MenuCatalog::kCompanyCreation, MenuCatalog::kCompanyCreation);
    companies_ = CompanyDirectory::list(dataRoot());
    if (companies_.empty()) return false;
    wizard_->setTarget(settings_.companyDir("1"), &store_);
    translateWindow(*wizard_);
    wizard_->restart();
    wizard_->exec();
    return true;
}

std::optional<UserRow> TMainForm::logIn() {
    UserDirectory users(dataRoot());
    try {
        if (!UserDirectory::needsDialog(users.count(), settings_.forcePasswordDialog())) {
            auto first = users.first();
            if (!first) showLine(msg::kNoUser);
            return first;
        }
        std::optional<UserRow> found;
        login_->setPasswordCheck([&](const QString& password) {
            found = users.findByPassword(password.toStdString());
            return found.has_value();
        });
        QStringList names;
        for (const auto& c : companies_)
            names << qs(c.name);
        login_->setCompanyName(names.join(QStringLiteral(", ")));
        const bool accepted = login_->exec() == QDialog::Accepted;
        login_->setPasswordCheck({});
        if (accepted && found) return found;
    } catch (const EngineError& e) {
        QMessageBox::critical(this, QStringLiteral("Valmorand"), QString::fromUtf8(e.what()));
    }
    return std::nullopt;
}

void TMainForm::closeWithoutDesktop() {
    closingWithoutDesktop_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
}

void TMainForm::showLine(int line, bool information) {
    const QString text = messages_->message(line);
    if (information)
        QMessageBox::information(this, QStringLiteral("Valmorand"), text);
    else
        QMessageBox::warning(this, QStringLiteral("Valmorand"), text);
}

QString TMainForm::statusText(int panel) const {
    return panel >= 0 && panel < 4 ? panels_[panel]->text() : QString();
}

bool TMainForm::event(QEvent* event) {
    // Hints of the menus and entries show in the status bar.
    if (event->type() == QEvent::StatusTip) {
        panels_[2]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!closingWithoutDesktop_ && user_ && desktop_->changed()) saveDesktop();
    const FormGeometry g{height(), x(), y(), width(), true};
    try {
        store_.write(core::SettingsStore::kValmorand, "Form", g.toSetting());
    } catch (const std::exception&) {
        // A settings file that cannot be written must not keep the user in.
    }
    slot_.release();
    QMainWindow::closeEvent(event);
}

// --- Options/Language ---------------------------------------------------

void TMainForm::rebuildLanguageMenu() {
    QMenu* menu = menus_->languageMenu();
    clearLater(menu);
    for (const auto& row : languages_) {
        QAction* a = menu->addAction(ShellMenuBar::literal(qs(row.name)));
        a->setObjectName(qs(row.entryName()));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a] { chooseLanguage(a->objectName()); });
    }
    checkLanguageEntry(QStringLiteral("MenuItem") + core::toQString(link_.LangCode));
    menus_->assignAccessKeys();
}

void TMainForm::checkLanguageEntry(const QString& entryName) {
    for (QAction* a : menus_->languageMenu()->actions())
        a->setChecked(a->objectName() == entryName);
}

void TMainForm::chooseLanguage(const QString& entryName) {
    checkLanguageEntry(entryName);
    QAction* chosen = nullptr;
    for (QAction* a : menus_->languageMenu()->actions())
        if (a->objectName() == entryName) chosen = a;
    if (!chosen) return;
    try {
        languages_ = LanguageList::load(dataRoot());
    } catch (const EngineError&) {
        // Keep the list read at start.
    }
    const auto row = LanguageList::byName(languages_, ShellMenuBar::caption(*chosen).toStdString());
    if (!row) return;
    SessionRecord::applyLanguage(link_, *row);

    translateAll(true);
    if (user_) markUnavailable();
    panels_[3]->setText(QStringLiteral("Version ") + forms::ModuleStartup::projectVersion());
    rebuildCatalogue(true);
    QString title = windowTitle();
    try {
        forms::LanguageTable table(kStem, link_.LangCode.str());
        if (auto e = table.find("MainForm", "MainForm")) title = qs(e->caption);
    } catch (const std::exception&) {
    }
    setWindowTitle(
        qs(WelcomeCaption::afterLanguageChange(title.toStdString(), link_.Language, DateTime::now())));
    panels_[0]->setText(core::toQString(link_.CompanyName));
    panels_[1]->setText(printers_.names().value(printerIndex_));
    recaptionTools();
    applyTerminology();
}

// --- Options/Printer ----------------------------------------------------

void TMainForm::fillPrinterMenu() {
    QMenu* menu = menus_->printerMenu();
    clearLater(menu);
    for (int i = 0; i < printers_.names().size(); ++i) {
        QAction* a = menu->addAction(ShellMenuBar::literal(printers_.names().at(i)));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { choosePrinter(i); });
    }
    menus_->assignAccessKeys();
}

void TMainForm::choosePrinter(int index) {
    const QList<QAction*> entries = menus_->printerMenu()->actions();
    if (index < 0 || index >= entries.size()) return;
    printerIndex_ = index;
    SessionRecord::applyPrinter(link_, index);
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == index);
    panels_[1]->setText(printers_.names().value(index));
}

// --- Options/Company ----------------------------------------------------

void TMainForm::rebuildCompanyList() {
    try {
        companies_ = CompanyDirectory::list(dataRoot());
    } catch (const EngineError&) {
        // The list read before stays in use.
    }
}

void TMainForm::rebuildCompanyMenu() {
    QMenu* menu = menus_->companyMenu();
    clearLater(menu);
    companyMenuCodes_.clear();
    for (std::size_t i = 0; i < companies_.size(); ++i) {
        QAction* a = menu->addAction(ShellMenuBar::literal(qs(companies_[i].name)));
        a->setCheckable(true);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { chooseCompany(index); });
        companyMenuCodes_.push_back(companies_[i].code);
    }
    menus_->assignAccessKeys();
}

void TMainForm::selectCurrentCompany() {
    const QList<QAction*> entries = menus_->companyMenu()->actions();
    // Company numbers compare as decimal text.
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(std::to_string(companyMenuCodes_[static_cast<std::size_t>(i)]) ==
                               link_.CompanyCode.str());
}

// Why a location could not be opened: the line, the location and the
// engine's own words. A server that cannot be reached is said so plainly,
// and its address is shown without any password it carries.
QString TMainForm::locationFailure(int line, const std::string& location, const std::exception& e) const {
    const auto* engine = dynamic_cast<const EngineError*>(&e);
    const bool server = Database::isServerLocation(location);
    if (server && engine && engine->code() == errc::kIo) line = msg::kServerNotReached;
    const QString where = server ? qs(shownLocation(location)) : QDir::toNativeSeparators(qs(location));
    return messages_->message(line) + QStringLiteral("\n\n") + where + QStringLiteral("\n\n") +
           QString::fromUtf8(e.what());
}

bool TMainForm::pointCompanyAlias() {
    const std::string dir = link_.DataDir.str() + link_.CompanyCode.str();
    try {
        Session::instance().setAlias(kCompanyAlias, dir);
        Cursor ctrl(Session::instance().database(kCompanyAlias), "ctrl", true);
        return true;
    } catch (const std::exception& e) {
        QMessageBox::warning(this, QStringLiteral("Valmorand"),
                             locationFailure(msg::kCompanyNotOpened, dir, e));
        return false;
    }
}

void TMainForm::openUserCompany() {
    rebuildCompanyList();
    rebuildCompanyMenu();
    SessionRecord::applyCompany(link_, *user_, CompanyDirectory::find(companies_, user_->company));
    panels_[3]->setText(QStringLiteral("Version ") + forms::ModuleStartup::projectVersion());
    pointCompanyAlias();
    selectCurrentCompany();
}

void TMainForm::chooseCompany(int index) {
    const QList<QAction*> entries = menus_->companyMenu()->actions();
    if (index < 0 || index >= entries.size()) return;
    const auto company =
        CompanyDirectory::findByName(companies_, ShellMenuBar::caption(*entries[index]).toStdString());
    if (!company) {
        selectCurrentCompany();
        return;
    }
    if (CompanyDirectory::needsPassword(*company, user_ ? user_->company : 0)) {
        translateWindow(*companyPassword_);
        bool accepted = false;
        while (companyPassword_->exec() == QDialog::Accepted) {
            if (CompanyDirectory::passwordMatches(*company, companyPassword_->password().toStdString())) {
                accepted = true;
                break;
            }
        }
        if (!accepted) {
            selectCurrentCompany();
            return;
        }
    }
    SessionRecord::applyCompanyChange(link_, *company);
    desktop_->closeLists();
    pointCompanyAlias();
    desktop_->reopenLists();
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == index);
    panels_[0]->setText(core::toQString(link_.CompanyName));
    if (settings_.trackerOn()) rebuildTrackerMenu();
}

// --- Tools --------------------------------------------------------------

void TMainForm::buildToolsMenu() {
    QMenu* menu = menus_->toolsMenu();
    clearLater(menu);
    try {
        tools_ = ToolsTable::load(dataRoot());
    } catch (const EngineError& e) {
        tools_.clear();
        QMessageBox::warning(this, QStringLiteral("Valmorand"), QString::fromUtf8(e.what()));
    }
    for (std::size_t i = 0; i < tools_.size(); ++i) {
        const ToolEntry& t = tools_[i];
        QAction* a = menu->addAction(ShellMenuBar::literal(qs(t.caption(link_.Language))));
        a->setObjectName(qs(t.program));
        a->setStatusTip(qs(t.hint(link_.Language)));
        a->setToolTip(qs(t.hint(link_.Language)));
        // The option's rights decide, not whether its own library is here.
        const auto state = ToolsTable::inheritedState(
            t.security, [this](const std::string& name) { return menus_->allowedByRights(qs(name)); });
        a->setEnabled(state.value_or(true));
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { runTool(index); });
    }
    // An empty Tools menu would open on nothing.
    menus_->toolsMenu()->menuAction()->setEnabled(!tools_.empty());
    menus_->assignAccessKeys();
}

void TMainForm::recaptionTools() {
    const QList<QAction*> entries = menus_->toolsMenu()->actions();
    for (int i = 0; i < entries.size() && i < static_cast<int>(tools_.size()); ++i) {
        const ToolEntry& t = tools_[static_cast<std::size_t>(i)];
        entries[i]->setText(ShellMenuBar::literal(qs(t.caption(link_.Language))));
        entries[i]->setStatusTip(qs(t.hint(link_.Language)));
        entries[i]->setToolTip(qs(t.hint(link_.Language)));
    }
    menus_->assignAccessKeys();
}

void TMainForm::runTool(int index) {
    if (index < 0 || index >= static_cast<int>(tools_.size())) return;
    const ToolEntry t = tools_[static_cast<std::size_t>(index)];
    if (t.isModule) {
        if (t.program == MenuCatalog::kToolsMaintenance)
            runToolsMaintenance();
        else
            launchEntry(qs(t.program));
        return;
    }
    // A program of the program directory first, then one on the path. A
    // program that cannot be started gives no message.
    const QString name = qs(t.program);
    QString program = QStandardPaths::findExecutable(name, {qs(settings_.programDir())});
    if (program.isEmpty()) program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) return;
    const QString dir = t.directory.empty() ? QDir::currentPath() : qs(t.directory);
    if (!t.directory.empty()) QDir::setCurrent(dir);
    QProcess::startDetached(program, {}, dir);
}

// --- Tracker ------------------------------------------------------------

void TMainForm::rebuildTrackerMenu() {
    QMenu* menu = menus_->trackerDatabaseMenu();
    clearLater(menu);
    trackerDbs_.clear();
    trackerAccount_.reset();
    try {
        trackerDbs_ = TrackerTable::load(Session::instance().database(kCompanyAlias));
    } catch (const EngineError&) {
        return;
    }
    for (std::size_t i = 0; i < trackerDbs_.size(); ++i) {
        QAction* a = menu->addAction(ShellMenuBar::literal(qs(trackerDbs_[i].name)));
        a->setCheckable(true);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { chooseTrackerDatabase(index); });
    }
    menus_->assignAccessKeys();
}

void TMainForm::chooseTrackerDatabase(int index) {
    const QList<QAction*> entries = menus_->trackerDatabaseMenu()->actions();
    if (index < 0 || index >= entries.size()) return;
    trackerAccount_ = trackerDbs_[static_cast<std::size_t>(index)].account;
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == index);
}

// --- Launching ----------------------------------------------------------

void TMainForm::rebuildCatalogue(bool enabledOnly) {
    catalogue_ = OptionCatalogue::build(
        settings_, [this](const std::string& name) { return menus_->optionState(name); },
        [this](int tag) { return messages_->message(msg::kLedgerNameBase + tag).toStdString(); },
        enabledOnly);
}

void TMainForm::launchEntry(const QString& entryName) {
    LaunchContext context;
    context.trackerAccount = trackerAccount_;
    context.catalogueCodes = catalogue_.codes;
    context.payrollOn = settings_.payrollOn();
    context.payrollFilesExist = [] {
        try {
            return Session::instance()
                .database(kCompanyAlias)
                .tableExists(MenuCatalog::kPayrollDepartmentTable);
        } catch (const EngineError&) {
            return false;
        }
    };
    const LaunchPlan plan = LaunchPlanner::plan(entryName.toStdString(), context);
    if (!plan.launch) {
        showLine(plan.messageEntry, plan.informationBox);
        return;
    }
    link_.LedgerPrefix = plan.ledgerPrefix;
    runModule(plan.library, plan.code);
}

namespace {

// The hourglass while the library loads. It is taken back as soon as the
// module's window runs the event loop, or when the call returns.
class LoadingCursor {
public:
    explicit LoadingCursor(QObject* context) : restored_(std::make_shared<bool>(false)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(0, context, [r = restored_] { restore(*r); });
    }
    ~LoadingCursor() { restore(*restored_); }

private:
    static void restore(bool& restored) {
        if (restored) return;
        restored = true;
        QApplication::restoreOverrideCursor();
    }
    std::shared_ptr<bool> restored_;
};

} // namespace

void TMainForm::runModule(const std::string& library, const std::string& code) {
    const core::ModuleLoader loader(link_.ProgramDir.str());
    core::ModuleRun run;
    try {
        LoadingCursor cursor(this);
        run = loader.run(library, link_);
    } catch (...) {
        // The loader has unloaded the library and cleared the module's hook;
        // the exception goes on to the application's handler.
        afterLaunch(code, false);
        update();
        throw;
    }
    if (!run.loaded) {
        if (code.rfind(MenuCatalog::kPayrollFamily, 0) == 0 &&
            run.errorNumber == core::ModuleLoader::kDependencyMissing)
            showLine(msg::kPayrollLibraryMissing);
        else
            QMessageBox::warning(this, QStringLiteral("Valmorand"),
                                 messages_->message(msg::kLoadError).arg(qs(code)).arg(run.errorNumber));
        link_.LedgerPrefix = {};
        return;
    }
    update();
    if (run.result == 0) showLine(msg::kAccessDeniedLine);
    afterLaunch(code, false);
    update();
}

void TMainForm::runToolsMaintenance() {
    const core::ModuleLoader loader(link_.ProgramDir.str());
    rebuildCatalogue(false);
    core::ModuleRun run;
    try {
        LoadingCursor cursor(this);
        run = loader.runWithOptions(MenuCatalog::kToolsMaintenance, link_, catalogue_.captions,
                                    catalogue_.codes);
    } catch (...) {
        rebuildCatalogue(true);
        afterLaunch(MenuCatalog::kToolsMaintenance, true);
        throw;
    }
    rebuildCatalogue(true);
    update();
    if (!run.loaded) {
        QMessageBox::warning(this, QStringLiteral("Valmorand"),
                             messages_->message(msg::kOptionsLoadError).arg(run.errorNumber));
        setWelcomeCaption(true);
        return;
    }
    if (run.result == 0) showLine(msg::kAccessDeniedLine);
    afterLaunch(MenuCatalog::kToolsMaintenance, true);
    // The Tools-menu maintenance may have changed the Tools entries.
    buildToolsMenu();
}

void TMainForm::afterLaunch(const std::string& code, bool addOn) {
    if (code != MenuCatalog::kCompanyCreation) {
        const QList<QAction*> langs = menus_->languageMenu()->actions();
        if (langs.size() >= 2) {
            langs[0]->setChecked(link_.Language == 1);
            langs[1]->setChecked(link_.Language != 1);
        }
        rebuildCompanyList();
        if (equalsNoCase(code, MenuCatalog::kCompanyMaintenance)) {
            rebuildCompanyMenu();
            selectCurrentCompany();
        }
    }
    link_.LedgerPrefix = {};
    if (code == MenuCatalog::kTrackerCreation) rebuildTrackerMenu();
    if (code == MenuCatalog::kParameters) {
        settings_.intl = store_.read(core::SettingsStore::kSettings, "intl", "N");
        applyTerminology();
    }
    setWelcomeCaption(addOn);
}

void TMainForm::setWelcomeCaption(bool addOn) {
    setWindowTitle(qs(WelcomeCaption::afterLaunch(link_.Language, DateTime::now(), addOn)));
}

// --- The desktop ----------------------------------------------------------

void TMainForm::restoreDesktop(bool standard) {
    if (standard) {
        // The designed desktop becomes the user's at exit.
        desktop_->useStandard();
        desktop_->setChanged(true);
        return;
    }
    try {
        const std::vector<DesktopRow> rows = DesktopStore::load(dataRoot(), user_->code);
        if (rows.empty()) return;
        desktop_->apply(DesktopCodec::decode(rows, desktop_->standard()));
        desktop_->setChanged(false);
    } catch (const std::exception& e) {
        // A desktop that cannot be read never keeps the user out: the
        // standard one replaces it, and is saved in its place at exit.
        desktop_->useStandard();
        desktop_->setChanged(true);
        QMessageBox::warning(this, QStringLiteral("Valmorand"),
                             messages_->message(msg::kDesktopUnreadable) + QLatin1Char('\n') +
                                 QString::fromUtf8(e.what()));
        return;
    }
    applyMenuFlags();
    panels_[3]->setText(QStringLiteral("Version ") + forms::ModuleStartup::projectVersion());
    rebuildCatalogue(true);
}

void TMainForm::applyMenuFlags() {
    const DesktopMenuFlags flags = DesktopMenuFlags::of(settings_);
    for (const char* name : kCcqEntries)
        if (QAction* a = menus_->action(QString::fromLatin1(name))) a->setVisible(flags.ccqEntries);
    menus_->setLedgerVisible(MenuCatalog::Payroll, flags.payroll);
    menus_->setLedgerVisible(MenuCatalog::Tracker, flags.tracker);
    menus_->setLedgerVisible(MenuCatalog::JobCost, flags.jobCost);
}

void TMainForm::saveDesktop() {
    try {
        DesktopStore::save(dataRoot(), user_->code, DesktopCodec::encode(desktop_->state()));
        desktop_->setChanged(false);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, QStringLiteral("Valmorand"),
                             messages_->message(msg::kDesktopNotSaved) + QLatin1Char('\n') +
                                 QString::fromUtf8(e.what()));
    }
}

} // namespace vm::shell
