// The desktop driven as a user would: start-up, login, rights, launching,
// company and language changes, the first company and its defaults.
#include "common/forms/FormTranslation.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/HelpViewer.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "shell/ShellMenuBar.h"
#include "shell/TMainForm.h"
#include "shell/TPasswordDlg.h"
#include "shell/TSetupWizard.h"
#include "shell/core/SessionSlot.h"
#include "shell/core/ToolsTable.h"
#include "tests/shell/ModalAnswers.h"
#include "tests/shell/ShellWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace vm;
using namespace vm::shell;
using vm::test::ModalAnswers;
using vm::test::ShellWorkspace;

namespace {

class ShellFlow : public ::testing::Test {
protected:
    void SetUp() override { ModalAnswers::reset(); }
    void TearDown() override {
        form.reset();
        EXPECT_EQ(ModalAnswers::pending(), 0) << "a dialog the test waited for never came";
        EXPECT_EQ(ModalAnswers::unexpected(), 0) << "a dialog came that the test did not expect";
        ModalAnswers::reset();
        ::unsetenv("VM_SHELLMOD_REPORT");
        ::unsetenv("VM_SHELLMOD_ACTION");
        Session::instance().closeAll();
    }

    // A desktop over the workspace, shown and past its first activation.
    bool start(const ShellWorkspace& ws) {
        ::setenv("VM_SHELLMOD_REPORT", ws.reportPath().c_str(), 1);
        form = std::make_unique<TMainForm>(ws.settings());
        form->setAutoActivate(false);
        form->show();
        return form->firstActivation();
    }

    QAction* action(const char* name) const { return form->menus().action(QString::fromLatin1(name)); }
    // What the user's rights make of an option (a missing library greys it too).
    bool allowed(const char* name) const { return form->menus().allowedByRights(QString::fromLatin1(name)); }
    QString caption(const char* name) const { return ShellMenuBar::caption(*action(name)); }

    std::unique_ptr<TMainForm> form;
};

std::vector<schema::UserRecord> adminOnly() {
    return {schema::standardUsers().front()};
}

// Expects a message box and keeps its text.
void expectMessage(QString* text) {
    ModalAnswers::expect([text](QWidget& w) { vm::test::acceptMessage(w, text); });
}

void expectLogin(const QString& password) {
    ModalAnswers::expect([password](QWidget& w) {
        ASSERT_EQ(w.objectName(), QStringLiteral("PasswordDlg"));
        vm::test::typeInto(w, "Password", password);
        vm::test::clickButton(w, "OKBtn");
    });
}

} // namespace

TEST_F(ShellFlow, SingleUserStartsWithoutDialog) {
    ShellWorkspace ws(adminOnly());
    ws.set("Valmorand", "customer", "C-1001");
    ASSERT_TRUE(start(ws));
    const TLinkSection& l = form->link();
    EXPECT_EQ(l.LoginUser, "Administrator");
    EXPECT_EQ(l.UserName, "Administrator");
    EXPECT_EQ(l.CompanyCode, "1");
    EXPECT_EQ(l.CompanyName, "Northwind Supply");
    EXPECT_EQ(l.Language, 1);
    EXPECT_EQ(l.LangCode, "en");
    EXPECT_EQ(l.SessionId, 0);
    EXPECT_EQ(l.Customer, "C-1001");
    EXPECT_EQ(l.ProgramDir, ws.programDir());
    EXPECT_EQ(l.DataDir, ws.dataDir());
    EXPECT_EQ(l.PrinterIndex.str(), std::to_string(form->printers().defaultIndex()));
    EXPECT_TRUE(l.LedgerPrefix.empty());
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Welcome to Valmorand  ")));
    EXPECT_EQ(form->statusText(0), QStringLiteral("Northwind Supply"));
    EXPECT_TRUE(form->statusText(3).startsWith(QStringLiteral("Version ")));
    // The administrator may use everything, the Tools-menu maintenance too.
    EXPECT_TRUE(allowed("custmaint"));
    ASSERT_EQ(form->menus().toolsMenu()->actions().size(), 0) << "the data root's Tools table is empty";
    EXPECT_FALSE(form->menus().ledgerMenu(5)->menuAction()->isVisible()) << "payroll is off";
    EXPECT_FALSE(form->menus().ledgerMenu(6)->menuAction()->isVisible()) << "the tracker menu stays hidden";

    // The geometry is written back at exit.
    form->resize(800, 600);
    form->close();
    EXPECT_TRUE(ws.settings().read("Valmorand", "Form").ends_with(",800,Y"));
}

TEST_F(ShellFlow, DisplayPWForcesTheDialogForASingleUser) {
    ShellWorkspace ws(adminOnly());
    ws.set("Valmorand", "DisplayPW", "Y");
    expectLogin(QStringLiteral("admin"));
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(form->link().LoginUser, "Administrator");
}

TEST_F(ShellFlow, TwoUsersLogInByPasswordInAnyCase) {
    ShellWorkspace ws(schema::standardUsers());
    // A wrong password is told and the dialog stays where it is, emptied;
    // the field upper-cases; the login names the company.
    QPointer<QWidget> login;
    QPoint where;
    QString told;
    ModalAnswers::expect([&](QWidget& w) {
        login = &w;
        where = w.pos();
        EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("CompanyName"))
                        ->text()
                        .contains(QStringLiteral("Northwind Supply")));
        vm::test::typeInto(w, "Password", QStringLiteral("nobody"));
        EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("Password"))->text(), QStringLiteral("NOBODY"));
        vm::test::clickButton(w, "OKBtn");
    });
    ModalAnswers::expect([&](QWidget& w) {
        vm::test::acceptMessage(w, &told);
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(login && login->isVisible());
            EXPECT_EQ(login->pos(), where);
            EXPECT_TRUE(login->findChild<QLineEdit*>(QStringLiteral("Password"))->text().isEmpty());
            vm::test::typeInto(*login, "Password", QStringLiteral("clerk"));
            vm::test::clickButton(*login, "OKBtn");
        });
    });
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(told, QStringLiteral("Incorrect password"));
    EXPECT_EQ(form->link().LoginUser, "Counter Clerk");

    // The clerk's rights: the receivables transactions only.
    EXPECT_TRUE(allowed("cashrcpt"));
    EXPECT_TRUE(allowed("cashrcptf"));
    EXPECT_TRUE(allowed("arsalesf"));
    EXPECT_FALSE(allowed("custmaint"));
    EXPECT_FALSE(allowed("custviewf"));
    EXPECT_EQ(action("custmaint")->toolTip(), QStringLiteral("Your rights do not allow this option."));
    EXPECT_FALSE(allowed("purchjrnlf"));
    EXPECT_FALSE(allowed("payaging"));
    EXPECT_TRUE(allowed("HelpTopics1"));
}

TEST_F(ShellFlow, CancelledLoginEndsTheProgram) {
    ShellWorkspace ws(schema::standardUsers());
    ModalAnswers::expect([](QWidget& w) { vm::test::clickButton(w, "CancelBtn"); });
    EXPECT_FALSE(start(ws));
    EXPECT_TRUE(form->closingWithoutDesktop());
    QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 5000);
}

TEST_F(ShellFlow, RightsBitsDriveTheEntries) {
    schema::UserRights rights;
    rights.allow(1, 0, 0).allow(2, 2, 1).allow(2, 1, 0); // bits 105, 241 and payables purchases
    ShellWorkspace ws({ShellWorkspace::user("ONE", "One", rights)});
    {
        Session s;
        s.database(ws.dataDir()).dropTable("apps");
    }
    ASSERT_TRUE(start(ws));
    EXPECT_TRUE(allowed("custmaint"));
    EXPECT_FALSE(allowed("slsmaint"));
    EXPECT_TRUE(allowed("payaging"));
    EXPECT_FALSE(allowed("rcvaging"));
    EXPECT_TRUE(allowed("purchjrnl"));
    EXPECT_TRUE(allowed("purchjrnlf"));
    EXPECT_FALSE(allowed("cashdisbf"));
    // The Tools entry follows "Maintenance of parameters", which is denied.
    const QList<QAction*> tools = form->menus().toolsMenu()->actions();
    ASSERT_EQ(tools.size(), 1);
    EXPECT_EQ(ShellMenuBar::caption(*tools[0]), QStringLiteral("Maintenance of Tools menu"));
    EXPECT_FALSE(tools[0]->isEnabled());
    // The catalogue lists disabled options without their code.
    const auto& cat = form->catalogue();
    const auto it =
        std::find(cat.captions.begin(), cat.captions.end(), "Maintenance of salesreps (Accounts receivable)");
    ASSERT_NE(it, cat.captions.end());
    EXPECT_EQ(cat.codes[static_cast<std::size_t>(it - cat.captions.begin())], "");
}

TEST_F(ShellFlow, LaunchingGivesTheModuleTheSessionRecord) {
    ShellWorkspace ws(adminOnly());
    ws.installTestModule("cashrcpt");
    ASSERT_TRUE(start(ws));
    form->choosePrinter(0);
    action("cashrcptf")->trigger();
    const std::string r = ws.report();
    EXPECT_NE(r.find("LoginUser=Administrator\n"), std::string::npos) << r;
    EXPECT_NE(r.find("CompanyCode=1\nCompanyName=Northwind Supply\n"), std::string::npos) << r;
    EXPECT_NE(r.find("Language=1\nLangCode=en\nPrinterIndex=0\n"), std::string::npos) << r;
    EXPECT_NE(r.find("DataDir=" + ws.dataDir() + "\n"), std::string::npos) << r;
    EXPECT_NE(r.find("SessionId=0\n"), std::string::npos) << r;
    EXPECT_NE(r.find("LedgerPrefix=\n"), std::string::npos) << r;
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Welcome to Valmorand  ")));
}

TEST_F(ShellFlow, SharedReportsGetTheirLedgerForOneLaunch) {
    ShellWorkspace ws(adminOnly());
    ws.installTestModule("rptprint");
    ASSERT_TRUE(start(ws));
    action("aprptprt")->trigger();
    EXPECT_NE(ws.report().find("LedgerPrefix=ap\n"), std::string::npos) << ws.report();
    EXPECT_TRUE(form->link().LedgerPrefix.empty());
    ws.clearReport();
    action("glrptprt")->trigger();
    EXPECT_NE(ws.report().find("LedgerPrefix=gl\n"), std::string::npos) << ws.report();
}

TEST_F(ShellFlow, LoadFailuresAndRefusalsAreShown) {
    ShellWorkspace ws(adminOnly());
    ws.installTestModule("custmaint");
    ASSERT_TRUE(start(ws));

    // An option whose library is not installed is greyed from the start and
    // says why; one that is installed is not.
    EXPECT_FALSE(action("vendmaint")->isEnabled());
    EXPECT_EQ(action("vendmaint")->toolTip(),
              QStringLiteral("This option is not installed on this workstation."));
    EXPECT_TRUE(action("custmaint")->isEnabled());
    EXPECT_NE(action("custmaint")->toolTip(), action("vendmaint")->toolTip());

    // A library gone since the start still gets the load message.
    QString text;
    expectMessage(&text);
    form->launchEntry(QStringLiteral("vendmaint"));
    EXPECT_EQ(text, QStringLiteral("error loading option vendmaint  126"));

    ::setenv("VM_SHELLMOD_ACTION", "refuse", 1);
    expectMessage(&text);
    action("custmaint")->trigger();
    EXPECT_EQ(text, QStringLiteral("Access denied..."));

    // A library without the entry point is not run, and says so.
    std::filesystem::copy_file(VM_SHELL_NO_ENTRY_MODULE, ws.programDir() + "/vendlist.so");
    expectMessage(&text);
    form->launchEntry(QStringLiteral("vendlist"));
    EXPECT_EQ(text, QStringLiteral("error loading option vendlist  127"));

    // A tracker option without a chosen tracker database.
    expectMessage(&text);
    form->launchEntry(QStringLiteral("trkentry"));
    EXPECT_TRUE(text.contains(QStringLiteral("tracker database")));
}

TEST_F(ShellFlow, TrackerOptionsCarryTheChosenDatabase) {
    ShellWorkspace ws(adminOnly());
    ws.set("Valmorand", "tracker", "Y");
    {
        Session s;
        Cursor trk(s.database(ws.dataDir() + "1"), "trkdb");
        trk.insert();
        trk.set("Trkdb_account", 31);
        trk.set("Trkdb_name", "Vehicles");
        trk.set("Trkdb_type", 1);
        trk.post();
    }
    ws.installTestModule("trkentry");
    ASSERT_TRUE(start(ws));
    const QList<QAction*> dbs = form->menus().trackerDatabaseMenu()->actions();
    ASSERT_EQ(dbs.size(), 1);
    EXPECT_EQ(ShellMenuBar::caption(*dbs[0]), QStringLiteral("Vehicles"));
    form->chooseTrackerDatabase(0);
    EXPECT_TRUE(dbs[0]->isChecked());
    form->launchEntry(QStringLiteral("trkentry"));
    EXPECT_NE(ws.report().find("LedgerPrefix=31\n"), std::string::npos) << ws.report();
    EXPECT_TRUE(form->link().LedgerPrefix.empty());
}

TEST_F(ShellFlow, ToolsEntriesStartModulesAndPrograms) {
    ShellWorkspace ws(adminOnly());
    {
        Session s;
        Database& root = s.database(ws.dataDir());
        root.dropTable("apps");
        ToolsTable::load(root); // the maintenance entry
        Cursor apps(root, "apps");
        apps.insert();
        apps.set("Application_name", "Stamp the folder");
        apps.set("Application_name_fr", "Marquer le dossier");
        apps.set("Application_pgm", "stamper");
        apps.set("Application_security", "custmaint");
        apps.set("Application_type", false);
        apps.set("Application_directory", ws.root());
        apps.post();
    }
    // A program of the program directory, started in the entry's directory.
    const std::string script = ws.programDir() + "/stamper";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\ntouch started-here\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ws.installTestModule("optedit");
    ASSERT_TRUE(start(ws));
    const QList<QAction*> tools = form->menus().toolsMenu()->actions();
    ASSERT_EQ(tools.size(), 2);
    EXPECT_TRUE(tools[0]->isEnabled());
    EXPECT_EQ(ShellMenuBar::caption(*tools[1]), QStringLiteral("Stamp the folder"));

    tools[0]->trigger();
    EXPECT_NE(ws.report().find("LoginUser=Administrator"), std::string::npos);
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Welcome to Valmorand/Tollmere  ")));

    // The maintenance may have changed the entries: the menu is rebuilt.
    form->menus().toolsMenu()->actions()[1]->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(ws.root() + "/started-here"), 10000);

    form->chooseLanguage(QStringLiteral("MenuItemfr"));
    EXPECT_EQ(ShellMenuBar::caption(*form->menus().toolsMenu()->actions()[1]),
              QStringLiteral("Marquer le dossier"));
}

TEST_F(ShellFlow, TwoDesktopsTakeTwoSessionSlots) {
    ShellWorkspace ws(adminOnly());
    QProcess other;
    other.start(QStringLiteral(VM_SLOT_HELPER), {QString::fromStdString(ws.dataDir())});
    ASSERT_TRUE(other.waitForStarted(10000));
    ASSERT_TRUE(other.waitForReadyRead(20000));
    EXPECT_EQ(other.readLine().trimmed(), "0");
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(form->link().SessionId, 1);
    other.closeWriteChannel();
    EXPECT_TRUE(other.waitForFinished(10000));
}

TEST_F(ShellFlow, NoFreeSessionSlotClosesTheDesktop) {
    ShellWorkspace ws(adminOnly());
    std::vector<std::unique_ptr<Session>> others;
    std::vector<std::unique_ptr<SessionSlot>> taken;
    for (int i = 0; i < schema::kSessionSlots; ++i) {
        others.push_back(std::make_unique<Session>());
        taken.push_back(std::make_unique<SessionSlot>());
        ASSERT_TRUE(taken.back()->claim(others.back()->database(ws.dataDir())));
    }
    QString text;
    expectMessage(&text);
    EXPECT_FALSE(start(ws));
    EXPECT_TRUE(text.contains(QStringLiteral("Every session")));
    EXPECT_TRUE(form->closingWithoutDesktop());
}

TEST_F(ShellFlow, MissingDataDirectoryClosesTheDesktop) {
    ShellWorkspace ws(adminOnly());
    ws.set("Valmorand", "datadrive", ws.root() + "/nowhere");
    QString text;
    expectMessage(&text);
    EXPECT_FALSE(start(ws));
    EXPECT_TRUE(text.startsWith(QStringLiteral("The data directory could not be opened:")))
        << text.toStdString();
}

TEST_F(ShellFlow, CompanyChangeAsksForAnotherCompanysPassword) {
    ShellWorkspace ws(adminOnly());
    schema::createCompany(ws.dataDir(), 2, "Secret Holdings");
    schema::createCompany(ws.dataDir(), 3, "Open Books");
    {
        Session s;
        Cursor comp(s.database(ws.dataDir()), "comp");
        ASSERT_TRUE(comp.findKey({Value(2)}));
        comp.edit();
        comp.set("Comp_Passwd", "Secret");
        comp.post();
    }
    ASSERT_TRUE(start(ws));
    const QList<QAction*> entries = form->menus().companyMenu()->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(entries[0]->isChecked());

    form->chooseCompany(2); // no password
    EXPECT_EQ(form->link().CompanyCode, "3");
    EXPECT_EQ(form->link().CompanyName, "Open Books");
    EXPECT_EQ(form->statusText(0), QStringLiteral("Open Books"));
    EXPECT_TRUE(entries[2]->isChecked());
    EXPECT_FALSE(entries[0]->isChecked());

    // A wrong password asks again (the case counts); Cancel changes nothing.
    ModalAnswers::expect([](QWidget& w) {
        EXPECT_EQ(w.objectName(), QStringLiteral("CompPasswordDlg"));
        vm::test::typeInto(w, "Password", QStringLiteral("SECRET"));
        vm::test::clickButton(w, "OKBtn");
    });
    ModalAnswers::expect([](QWidget& w) { vm::test::clickButton(w, "CancelBtn"); });
    form->chooseCompany(1);
    EXPECT_EQ(form->link().CompanyCode, "3");
    EXPECT_TRUE(entries[2]->isChecked());
    EXPECT_FALSE(entries[1]->isChecked());

    ModalAnswers::expect([](QWidget& w) {
        vm::test::typeInto(w, "Password", QStringLiteral("Secret"));
        vm::test::clickButton(w, "OKBtn");
    });
    form->chooseCompany(1);
    EXPECT_EQ(form->link().CompanyCode, "2");
    EXPECT_EQ(form->link().CompanyName, "Secret Holdings");

    // The modules follow the company.
    ws.installTestModule("custlist");
    form->launchEntry(QStringLiteral("custlist"));
    EXPECT_NE(ws.report().find("CompanyCode=2\n"), std::string::npos);
}

TEST_F(ShellFlow, LanguageSwitchRecaptionsAndAppliesTerminology) {
    ShellWorkspace ws(adminOnly());
    ws.set("Settings", "intl", "Y");
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(caption("chqedit"), QStringLiteral("Edit check entries"));
    EXPECT_EQ(caption("chqfmt"), QStringLiteral("Maintenance of check format"));
    EXPECT_EQ(caption("gltaxrpt"), QStringLiteral("Tax 1 and Tax 2 report"));
    EXPECT_EQ(caption("custmaint"), QStringLiteral("Maintenance of clients"));

    form->chooseLanguage(QStringLiteral("MenuItemfr"));
    EXPECT_EQ(form->link().Language, 2);
    EXPECT_EQ(form->link().LangCode, "fr");
    EXPECT_EQ(caption("custmaint"), QStringLiteral("Mise à jour des clients"));
    EXPECT_EQ(caption("chqedit"), QStringLiteral("Modification des chèques à émettre"))
        << "in French only the tax report is replaced";
    EXPECT_EQ(caption("gltaxrpt"), QStringLiteral("Rapport Tax 1 et Tax 2"));
    EXPECT_EQ(ShellMenuBar::caption(*form->menus().ledgerMenu(1)->menuAction()),
              QStringLiteral("Comptes clients"));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Bienvenue à Valmorand    ")));
    EXPECT_TRUE(form->menus().languageMenu()->actions()[1]->isChecked());
    if (form->printers().isPdfOnly()) {
        EXPECT_EQ(form->statusText(1), QStringLiteral("Fichier PDF (aucune imprimante installée)"));
    }
    const auto& cat = form->catalogue();
    EXPECT_NE(
        std::find(cat.captions.begin(), cat.captions.end(), "Mise à jour des clients (Comptes clients)"),
        cat.captions.end());

    // Modules started afterwards run in French.
    ws.installTestModule("custmaint");
    form->launchEntry(QStringLiteral("custmaint"));
    EXPECT_NE(ws.report().find("Language=2\nLangCode=fr\n"), std::string::npos);
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Bienvenue à Valmorand  ")));

    form->chooseLanguage(QStringLiteral("MenuItemen"));
    EXPECT_EQ(caption("chqedit"), QStringLiteral("Edit check entries"));

    // The parameters module may switch the terminology off.
    ws.installTestModule("parmedit");
    ws.set("Settings", "intl", "N");
    form->launchEntry(QStringLiteral("parmedit"));
    EXPECT_EQ(caption("chqedit"), QStringLiteral("Edit cheque entries"));
}

// Every menu has an access key per entry, none twice in one menu, in both
// languages; F10 reaches the menu bar; the default window shows the whole
// menu bar in either language.
TEST_F(ShellFlow, MenusByKeyboardInBothLanguages) {
    ShellWorkspace ws(adminOnly());
    ASSERT_TRUE(start(ws));
    for (const char* lang : {"en", "fr"}) {
        form->chooseLanguage(QStringLiteral("MenuItem") + QString::fromLatin1(lang));
        QList<QList<QAction*>> menus{form->menuBar()->actions()};
        for (QMenu* m : form->menuBar()->findChildren<QMenu*>())
            menus.append(m->actions());
        for (const auto& entries : menus) {
            QSet<QChar> keys;
            for (QAction* a : entries) {
                if (a->isSeparator() || a->text().isEmpty()) continue;
                const QString t = a->text();
                const qsizetype at = t.indexOf(QLatin1Char('&'));
                ASSERT_TRUE(at >= 0 && at + 1 < t.size()) << lang << ": no key in " << t.toStdString();
                EXPECT_FALSE(keys.contains(t[at + 1].toLower()))
                    << lang << ": key clash at " << t.toStdString();
                keys.insert(t[at + 1].toLower());
            }
        }
        EXPECT_GE(form->menuBar()->width(), form->menuBar()->sizeHint().width()) << lang;
    }
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_NE(form->menuBar()->activeAction(), nullptr);
    if (QAction* active = form->menuBar()->activeAction(); active && active->menu()) active->menu()->hide();
}

TEST_F(ShellFlow, UserLanguageTranslatesTheDesktopAtLogin) {
    ShellWorkspace ws({ShellWorkspace::user("MARIE", "Marie", schema::UserRights::all(), 2)});
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(form->link().Language, 2);
    EXPECT_EQ(caption("cashrcpt"), QStringLiteral("Encaissements"));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Bienvenue à Valmorand  ")));
}

TEST_F(ShellFlow, FirstCompanyIsCreatedThenItsDefaults) {
    ShellWorkspace ws(adminOnly(), false);
    ws.installProgramLibrary("firmnew");
    // The company-creation module asks the name.
    ModalAnswers::expect([](QWidget& w) {
        ASSERT_EQ(w.objectName(), QStringLiteral("Tfirmnew_frm"));
        vm::test::typeInto(w, "EditName", QStringLiteral("Maritime Traders"));
        vm::test::clickButton(w, "BtnOK");
    });
    // The wizard: in Canada, Nova Scotia, then a rate that is not a number
    // before the right one.
    ModalAnswers::expect([](QWidget& w) {
        ASSERT_EQ(w.objectName(), QStringLiteral("SetupWizard")) << vm::test::messageText(w).toStdString();
        auto& wiz = static_cast<TSetupWizard&>(w);
        w.findChild<QRadioButton*>()->setChecked(true); // "In Canada" comes first
        vm::test::clickButton(w, "BtnNext1");
        EXPECT_EQ(wiz.currentPage(), 2);
        w.findChild<QComboBox*>(QStringLiteral("ComboProvince"))->setCurrentIndex(5);
        vm::test::clickButton(w, "BtnNext2");
        EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("EditRate3"))->text(), QStringLiteral("15"));
        vm::test::typeInto(w, "EditRate1", QStringLiteral("five"));
        vm::test::clickButton(w, "BtnNext3");
        vm::test::clickButton(w, "BtnNext4");
        // Close meets the bad rate: a message, then back on the rates.
        QString text;
        ModalAnswers::expect([&text](QWidget& box) { vm::test::acceptMessage(box, &text); });
        vm::test::clickButton(w, "BtnClose");
        EXPECT_TRUE(text.contains(QStringLiteral("must hold a number"))) << text.toStdString();
        EXPECT_EQ(wiz.currentPage(), 3);
        vm::test::typeInto(w, "EditRate1", QStringLiteral("0"));
        vm::test::clickButton(w, "BtnNext3");
        vm::test::clickButton(w, "BtnNext4");
        vm::test::clickButton(w, "BtnClose");
    });
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(form->link().CompanyName, "Maritime Traders");

    Session s;
    Cursor ctrl(s.database(ws.dataDir() + "1"), "ctrl", true);
    ASSERT_TRUE(ctrl.first());
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_fed_rate"), 0.0);
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate1"), 0.0);
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate2"), 15.0);
    EXPECT_EQ(ctrl.str("Ctrl_dollars1"), "Dollars");
    const auto settings = ws.settings();
    EXPECT_EQ(settings.read("Settings", "DateFmt"), "mm/dd/yyyy");
    EXPECT_EQ(settings.read("Settings", "Intl"), "n");
    EXPECT_EQ(settings.read("Settings", "CurrAlign"), "L");
}

// The wizard's other two paths, driven on the wizard alone.
TEST_F(ShellFlow, WizardQuebecInFrenchAndOutsideCanada) {
    ShellWorkspace ws(adminOnly());
    const std::string companyDir = ws.dataDir() + "1";
    const auto settings = ws.settings();
    {
        TSetupWizard wiz(2);
        vm::forms::translateForm(wiz, "MainMenu", "fr");
        wiz.setTarget(companyDir, &settings);
        wiz.restart();
        wiz.show();
        wiz.findChild<QRadioButton*>()->setChecked(true); // au Canada
        vm::test::clickButton(wiz, "BtnNext1");
        auto* provinces = wiz.findChild<QComboBox*>(QStringLiteral("ComboProvince"));
        EXPECT_EQ(provinces->itemText(7), QStringLiteral("Québec"));
        EXPECT_EQ(provinces->itemText(1), QStringLiteral("Colombie-Britannique"));
        provinces->setCurrentIndex(7);
        vm::test::clickButton(wiz, "BtnNext2");
        EXPECT_EQ(wiz.findChild<QLabel*>(QStringLiteral("LabelRate2"))->text(),
                  QStringLiteral("Taux de TVQ"));
        EXPECT_FALSE(wiz.findChild<QLineEdit*>(QStringLiteral("EditRate3"))->isVisible());
        vm::test::clickButton(wiz, "BtnNext3");
        EXPECT_EQ(wiz.findChild<QComboBox*>(QStringLiteral("ComboAlign"))->currentIndex(), 1)
            << "symbol after";
        vm::test::clickButton(wiz, "BtnNext4");
        vm::test::clickButton(wiz, "BtnClose");
        EXPECT_EQ(wiz.result(), QDialog::Accepted);
    }
    Session s;
    {
        Cursor ctrl(s.database(companyDir), "ctrl", true);
        ASSERT_TRUE(ctrl.first());
        EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_fed_rate"), 7.0);
        EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate1"), 7.5);
    }
    EXPECT_EQ(settings.read("Settings", "DateFmt"), "dd/mm/yyyy");
    EXPECT_EQ(settings.read("Settings", "CurrAlign"), "R");
    EXPECT_EQ(settings.read("Settings", "intl"), "n");

    {
        TSetupWizard wiz(1);
        wiz.setTarget(companyDir, &settings);
        wiz.restart();
        wiz.show();
        vm::test::clickButton(wiz, "BtnNext1"); // outside of Canada is the proposed answer
        EXPECT_EQ(wiz.currentPage(), 3);
        vm::test::typeInto(wiz, "EditRate1", QStringLiteral("20"));
        vm::test::clickButton(wiz, "BtnBack3");
        EXPECT_EQ(wiz.currentPage(), 1) << "back skips the province page";
        vm::test::clickButton(wiz, "BtnNext1");
        vm::test::clickButton(wiz, "BtnNext3");
        wiz.findChild<QLineEdit*>(QStringLiteral("EditSymbol"))->setText(QStringLiteral("€"));
        vm::test::clickButton(wiz, "BtnNext4");
        vm::test::clickButton(wiz, "BtnClose");
    }
    {
        Cursor ctrl(s.database(companyDir), "ctrl", true);
        ASSERT_TRUE(ctrl.first());
        EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_fed_rate"), 20.0);
    }
    EXPECT_EQ(settings.read("Settings", "DateFmt"), "mm/dd/yyyy");
    EXPECT_EQ(settings.read("Settings", "intl"), "y");
    EXPECT_EQ(settings.read("Settings", "CurrSmbl"), "€");
    EXPECT_EQ(settings.read("Settings", "CurrAlign"), "L");
}

TEST_F(ShellFlow, NoCompanyCreatedClosesTheDesktop) {
    ShellWorkspace ws(adminOnly(), false); // no company-creation library installed
    QString loadError, closing;
    expectMessage(&loadError);
    expectMessage(&closing);
    EXPECT_FALSE(start(ws));
    EXPECT_EQ(loadError, QStringLiteral("error loading option firmnew  126"));
    EXPECT_TRUE(closing.contains(QStringLiteral("No company")));
}

// Pictures of the desktop for a visual check: set VM_SHELL_SCREENSHOTS to a
// directory to write them.
TEST_F(ShellFlow, Screenshots) {
    const char* dir = std::getenv("VM_SHELL_SCREENSHOTS");
    if (!dir || !*dir) GTEST_SKIP() << "VM_SHELL_SCREENSHOTS not set";
    const QString out = QString::fromLocal8Bit(dir);
    ShellWorkspace ws(schema::standardUsers());
    expectLogin(QStringLiteral("admin"));
    ASSERT_TRUE(start(ws));
    for (const char* lang : {"en", "fr"}) {
        form->chooseLanguage(QStringLiteral("MenuItem") + QString::fromLatin1(lang));
        const QString suffix = QStringLiteral("-") + QString::fromLatin1(lang) + QStringLiteral(".png");
        form->resize(1366, 768);
        QApplication::processEvents();
        form->grab().save(out + QStringLiteral("/main") + suffix);
        // The help viewer and a question with Qt's own buttons.
        vm::forms::openHelp(QString(VM_SOURCE_DIR) + QStringLiteral("/help/") + QString::fromLatin1(lang),
                            201, form->link().Language, form.get());
        if (auto* help = form->findChild<vm::forms::HelpViewer*>()) {
            QApplication::processEvents();
            help->grab().save(out + QStringLiteral("/help") + suffix);
            help->close();
        }
        QMessageBox box(QMessageBox::Question, QStringLiteral("Valmorand"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, form.get());
        box.show();
        QApplication::processEvents();
        box.grab().save(out + QStringLiteral("/question") + suffix);
        box.hide();
        int n = 0;
        for (QAction* top : form->menuBar()->actions()) {
            QMenu* m = top->menu();
            if (!m || !top->isVisible()) continue;
            m->popup(QPoint(0, 0));
            QApplication::processEvents();
            m->grab().save(out + QStringLiteral("/menu%1").arg(n++) + suffix);
            for (QAction* sub : m->actions()) {
                if (!sub->menu() || sub->menu()->actions().isEmpty()) continue;
                sub->menu()->popup(QPoint(300, 0));
                QApplication::processEvents();
                sub->menu()->grab().save(
                    out + QStringLiteral("/menu%1-%2").arg(n - 1).arg(sub->menu()->objectName()) + suffix);
                sub->menu()->hide();
            }
            m->hide();
        }
        TPasswordDlg& login = form->loginDialog();
        login.show();
        QApplication::processEvents();
        login.grab().save(out + QStringLiteral("/login") + suffix);
        login.hide();
        TSetupWizard& wiz = form->setupWizard();
        vm::forms::translateForm(wiz, "MainMenu", lang);
        wiz.restart();
        wiz.show();
        for (int page = 1; page <= 5; ++page) {
            QApplication::processEvents();
            wiz.grab().save(out + QStringLiteral("/wizard%1").arg(page) + suffix);
            if (page == 1) wiz.findChild<QRadioButton*>()->setChecked(true);
            vm::test::clickButton(wiz, page < 5 ? QStringLiteral("BtnNext%1").arg(page).toLatin1().constData()
                                                : "");
        }
        wiz.hide();
    }
}
