#include "FormsTestSupport.h"

#include "common/core/RegionalSettings.h"
#include "common/forms/FormTranslation.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/HelpViewer.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/QtTranslations.h"
#include "common/forms/ScreenPrinter.h"
#include "common/forms/TErrorForm.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Cursor.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::forms;

TEST(ModuleStartupTest, FallBacksOnlyWithoutACompany) {
    test::TempDir dir;
    const std::string settings = dir.path() + "/Tarnwell.ini";
    {
        std::FILE* f = std::fopen(settings.c_str(), "w");
        std::fputs("[Valmorand]\npgmdrive=/opt/x\ndatadrive=/srv/y\n", f);
        std::fclose(f);
    }
    const char* saved = std::getenv("VALMORAND_SETTINGS");
    const std::string savedValue = saved ? saved : "";
    setenv("VALMORAND_SETTINGS", settings.c_str(), 1);

    core::TLinkSection link;
    ModuleStartup startup(link);
    EXPECT_TRUE(startup.applyFallbacks());
    EXPECT_EQ(link.CompanyCode, "1");
    EXPECT_EQ(link.ProgramDir, "/opt/x/Valmorand/bin");
    EXPECT_EQ(link.DataDir, "/srv/y/Valmorand/data");
    EXPECT_EQ(startup.companyDirectory(), "/srv/y/Valmorand/data1");

    link.CompanyCode = core::LinkString("7");
    link.DataDir = core::LinkString("/d/data");
    EXPECT_FALSE(startup.applyFallbacks());
    EXPECT_EQ(startup.companyDirectory(), "/d/data7");

    if (saved)
        setenv("VALMORAND_SETTINGS", savedValue.c_str(), 1);
    else
        unsetenv("VALMORAND_SETTINGS");
}

TEST(ModuleStartupTest, StatusBarHelpPathAndVersion) {
    core::TLinkSection link;
    link.CompanyCode = core::LinkString("2");
    link.CompanyName = core::LinkString("Boulangerie Tremblay");
    link.UserName = core::LinkString("marie");
    link.ProgramDir = core::LinkString("/v/bin");
    link.Language = 1;
    link.LangCode.set("en");
    ModuleStartup startup(link);

    QStatusBar bar;
    QLabel* panels[3];
    for (auto*& p : panels) {
        p = new QLabel("Co: ");
        bar.addWidget(p);
    }
    startup.fillStatusBar(bar);
    EXPECT_EQ(panels[0]->text(), "Co: 2-Boulangerie Tremblay");
    EXPECT_EQ(panels[1]->text(), "Co: marie");
    EXPECT_EQ(panels[2]->text(), "Co: 1.0.0.1");
    EXPECT_EQ(ModuleStartup::projectVersion().count('.'), 3);

    QStatusBar two;
    auto* only = new QLabel("x");
    two.addWidget(only);
    two.addWidget(new QLabel("y"));
    startup.fillStatusBar(two);
    EXPECT_EQ(only->text(), "x");

    EXPECT_EQ(startup.helpPath(), "/v/help/en");
    link.Language = 2;
    link.LangCode.set("fr");
    EXPECT_EQ(startup.helpPath(), "/v/help/fr");
    link.Language = 3;
    link.LangCode.set("es");
    EXPECT_EQ(startup.helpPath(), "/v/help/es");
}

TEST(ModuleStartupTest, DesignedDateMasksFollowTheDateFormat) {
    core::RegionalSettings rs;
    rs.dateFormat = "YYYY-MM-DD";
    core::RegionalSettings::setCurrent(rs);
    QWidget form;
    auto* date = new QLineEdit(&form);
    date->setInputMask("99/99/9999");
    auto* other = new QLineEdit(&form);
    other->setInputMask("999-999-9999");
    auto* plain = new QLineEdit(&form);
    EXPECT_EQ(ModuleStartup::applyDateMasks(form), 1);
    EXPECT_TRUE(date->inputMask().startsWith("9999-99-99"));
    EXPECT_TRUE(other->inputMask().startsWith("999-999-9999"));
    EXPECT_TRUE(plain->inputMask().isEmpty());
    core::RegionalSettings::setCurrent(core::RegionalSettings());
}

TEST(ModuleStartupTest, TableThatCannotBeOpenedIsReportedAndTheDesktopAskedToClose) {
    test::TempDir dir;
    core::TLinkSection link;
    link.CompanyCode = core::LinkString("1");
    link.DataDir = core::LinkString(dir.path() + "/data");
    link.Language = 2;
    std::filesystem::create_directories(dir.path() + "/data1");
    ModuleStartup startup(link);
    startup.pointAliases("pptest", "ppsys");
    EXPECT_EQ(Session::instance().aliasPath("pptest"), dir.path() + "/data1");
    EXPECT_EQ(Session::instance().aliasPath("ppsys"), dir.path() + "/data");

    QMainWindow desktop;
    desktop.setProperty("vmMainWindow", true);
    desktop.show();
    QString message;
    QObject watch;
    test::answerMessageBox(&message, &watch);
    EXPECT_EQ(startup.openTable("pptest", "cli"), nullptr);
    EXPECT_EQ(message, QString::fromUtf8("Erreur lors de l'ouverture de la table cli."));
    EXPECT_TRUE(test::waitUntil([&] { return !desktop.isVisible(); }));
}

TEST(MailAndHelp, AddressCannotAddHeadersOrAttachments) {
    EXPECT_EQ(mailtoUrl("marie@example.com"), "mailto:marie@example.com");
    const QString hostile = mailtoUrl("a@b.c?attach=/etc/passwd&subject=x#y");
    EXPECT_FALSE(hostile.contains('?'));
    EXPECT_FALSE(hostile.contains('#'));
    EXPECT_TRUE(hostile.startsWith("mailto:a@b.c%3Fattach"));
    EXPECT_FALSE(mailtoUrl("a@b.c\r\nBcc: x@y").contains('\n'));

    QString message;
    QObject watch;
    test::answerMessageBox(&message, &watch);
    EXPECT_FALSE(openHelp("/nonexistent/help/en", 201, 1));
    EXPECT_TRUE(message.contains("201"));
    EXPECT_FALSE(message.contains("/nonexistent")) << "no file name shown to the user";
}

// Every shipped page has its twin in the other language, and each contents
// page links only pages that exist.
TEST(MailAndHelp, HelpPagesShipInBothLanguages) {
    const QDir root(QString(VM_SOURCE_DIR) + "/help");
    const QStringList en = QDir(root.filePath("en")).entryList({"*.html"}, QDir::Files);
    EXPECT_EQ(en, QDir(root.filePath("fr")).entryList({"*.html"}, QDir::Files));
    for (const char* context : {"index", "100", "201", "206", "301", "500"})
        EXPECT_TRUE(en.contains(QString(context) + ".html")) << context;
    for (const char* lang : {"en", "fr"}) {
        QFile index(root.filePath(QString(lang) + "/index.html"));
        ASSERT_TRUE(index.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(index.readAll());
        for (const QString& page : en) {
            if (page == "index.html") continue;
            EXPECT_TRUE(html.contains("href=\"" + page + "\""))
                << lang << " contents lack " << page.toStdString();
        }
    }
}

// F1 opens the page in the program's own viewer, in the session language;
// the contents link to the other pages and back/forward walk the pages seen.
TEST(MailAndHelp, ViewerShowsPagesWithContentsAndHistory) {
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    QWidget window;
    const QString fr = QString(VM_SOURCE_DIR) + "/help/fr";
    ASSERT_TRUE(openHelp(fr, 201, 2, &window));
    auto* viewer = window.findChild<HelpViewer*>();
    ASSERT_NE(viewer, nullptr);
    QTextBrowser* browser = viewer->browser();
    EXPECT_TRUE(browser->toPlainText().contains(QString::fromUtf8("Mise à jour des clients")));
    EXPECT_TRUE(viewer->windowTitle().startsWith("Aide de Valmorand"));
    EXPECT_FALSE(viewer->findChild<QPushButton*>("BtnBack")->isEnabled());

    // The same window's next F1 reuses its viewer.
    ASSERT_TRUE(openHelpContents(fr, 2, &window));
    EXPECT_EQ(window.findChildren<HelpViewer*>().size(), 1);
    EXPECT_TRUE(browser->source().toString().endsWith("index.html"));
    browser->backward();
    EXPECT_TRUE(browser->source().toString().endsWith("201.html"));
    EXPECT_TRUE(viewer->findChild<QPushButton*>("BtnForward")->isEnabled());

    // A language without its own page falls back to the English one.
    EXPECT_EQ(HelpViewer::topicFile(QString(VM_SOURCE_DIR) + "/help/es", "206.html"),
              QDir::cleanPath(QString(VM_SOURCE_DIR) + "/help/en/206.html"));
    ::unsetenv("VALMORAND_LANGUAGES");
}

// Pictures of the shared dialogs, for a look at their layout in both
// languages (written under the build directory).
TEST(SharedDialogs, PicturesInBothLanguages) {
    const QString out = QString(VM_BINARY_DIR) + "/forms-pictures";
    QDir().mkpath(out);
    for (const char* lang : {"en", "fr"}) {
        TErrorForm error;
        translateForm(error, "MainMenu", lang, VM_LANGUAGES_DIR);
        // Filled as the hook fills it, without the modal loop.
        error.findChild<QLabel*>("ErrCat")->setText("38");
        error.findChild<QLabel*>("ErrCode")->setText("1");
        error.findChild<QPlainTextEdit*>("ErrMess")->setPlainText(
            "Key violation: a row with key (C001) already exists in cli");
        error.adjustSize();
        const QImage e = error.grab().toImage();
        EXPECT_FALSE(e.isNull());
        EXPECT_TRUE(e.save(out + "/TErrorForm-" + lang + ".png"));

        Tperiod_frm period;
        translateForm(period, "MainMenu", lang, VM_LANGUAGES_DIR);
        period.setPeriod(4);
        period.adjustSize();
        EXPECT_TRUE(period.grab().toImage().save(out + "/Tperiod_frm-" + lang + ".png"));
    }
    TErrorForm error;
    const QString pdf = out + "/print-screen.pdf";
    EXPECT_EQ(printWidget(error, "0", pdf), pdf);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

// Qt's own buttons follow the session language.
TEST(QtTexts, MessageBoxButtonsInTheSessionLanguage) {
    auto cancelText = [] {
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::Cancel);
        return box.button(QMessageBox::Cancel)->text().remove('&');
    };
    ASSERT_TRUE(useQtTranslations("fr"))
        << "Qt's French translation is not installed (qt6-translations-l10n)";
    EXPECT_EQ(cancelText(), "Annuler");
    EXPECT_FALSE(useQtTranslations("en"));
    EXPECT_EQ(cancelText(), "Cancel");
}
