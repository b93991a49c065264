#include "ClientCompany.h"
#include "GuiSupport.h"

#include "common/core/LinkStringQt.h"
#include "common/core/ModuleLoader.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/AbortAction.h"
#include "common/forms/LockWaitBox.h"
#include "common/forms/MessageList.h"
#include "common/forms/TErrorForm.h"
#include "modules/custmaint/ui/Tcustmaint_dm.h"
#include "modules/custmaint/ui/Tcustmaint_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <set>

using namespace vm;
using namespace vm::custmaint;
using Nav = vm::forms::RecordNavigator;

namespace {

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class ClientWindowTest : public ::testing::Test {
protected:
    ClientCompany co;
    core::TLinkSection link;
    std::unique_ptr<forms::TErrorForm> errorForm;
    std::unique_ptr<Tcustmaint_dm> dm;
    std::unique_ptr<Tcustmaint_frm> frm;
    ModalAnswerer answers;
    std::string settingsPath;

    void SetUp() override {
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        settingsPath = co.dataDir() + "/../test.ini";
        ::setenv("VALMORAND_SETTINGS", settingsPath.c_str(), 1);
        ClientCompany::add(co.company(), "car", {{"Car_client", "C100"}, {"Car_invoice", "I1"}});
        ClientCompany::add(co.company(), "cli", {{"Cli_code", "C050"}, {"Cli_name", "Beta"}});
    }

    void TearDown() override {
        if (frm) frm->quit();
        frm.reset();
        dm.reset();
        errorForm.reset();
        core::RegionalSettings::setCurrent(core::RegionalSettings());
    }

    void open(int language = 1, bool international = false) {
        core::SettingsStore(settingsPath).write("Settings", "intl", international ? "Y" : "N");
        core::RegionalSettings::loadCurrent(core::SettingsStore(settingsPath));
        link.DataDir = core::LinkString(co.dataDir());
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Test company");
        link.UserName = core::LinkString("Tester");
        link.LoginUser = core::LinkString("TESTER");
        link.Language = language;
        link.LangCode = core::LinkShortString(language == 1 ? "en" : "fr");
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        errorForm = std::make_unique<forms::TErrorForm>();
        dm = std::make_unique<Tcustmaint_dm>();
        dm->setErrorForm(errorForm.get());
        frm = std::make_unique<Tcustmaint_frm>(link, *dm);
        frm->setErrorForm(errorForm.get());
        ASSERT_TRUE(frm->startUp());
        frm->show();
        QApplication::setActiveWindow(frm.get());
        waitFor([&] { return frm->isActiveWindow(); }, 1000);
        QApplication::processEvents();
    }

    template <class T = QLineEdit> T* w(const char* name) {
        T* found = frm->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    // Types into a field and moves the focus on, as the user leaving it.
    void typeAndLeave(const char* field, const QString& text, const char* next) {
        activate();
        QLineEdit* e = w(field);
        e->setFocus();
        QApplication::processEvents();
        e->selectAll();
        QTest::keyClicks(e, text);
        w<QWidget>(next)->setFocus();
        waitFor([] { return false; }, 60);
    }

    // Message boxes take the activation away from the window.
    void activate() {
        QApplication::setActiveWindow(frm.get());
        waitFor([&] { return frm->isActiveWindow(); }, 500);
    }

    bool focused(const char* name) { return frm->focusWidget() == w<QWidget>(name); }

    Cursor::State state() { return dm->cli().state(); }
    std::string current() { return dm->cli().str("Cli_code"); }

    std::int64_t clientCount() {
        Cursor c(co.company(), "cli", true);
        return c.recordCount();
    }

    bool stored(const std::string& code, Cursor& out) { return out.findKey({Value(code)}); }
};

TEST_F(ClientWindowTest, CreateEditCancelAndDeleteThroughNavigatorAndKeys) {
    open();
    EXPECT_EQ(frm->windowTitle(), "Maintenance of clients");
    EXPECT_FALSE(w("EditName")->isEnabled());
    EXPECT_TRUE(w("EditCode")->isEnabled());

    // New client.
    frm->navigator().trigger(Nav::Insert);
    EXPECT_EQ(state(), Cursor::State::Insert);
    EXPECT_EQ(w<QSpinBox>("SpinCopies")->value(), 1);
    typeAndLeave("EditCode", "C200", "EditName");
    EXPECT_TRUE(w<QCheckBox>("CheckTaxFed")->isChecked());
    EXPECT_TRUE(w<QCheckBox>("CheckTaxPro")->isChecked());
    typeAndLeave("EditName", "Gamma Inc.", "EditPostal");
    typeAndLeave("EditPostal", "J4K 1B2", "EditEmail");
    typeAndLeave("EditSalesrep", "S1", "EditBillTo");
    typeAndLeave("EditTerms", "60", "EditDueDays");
    EXPECT_EQ(w("EditDueDays")->text(), "45") << "the terms' days show as soon as the terms are left";
    w<QSpinBox>("SpinCopies")->setValue(3);
    w("EditShipVia")->setText("Purolator");
    frm->navigator().trigger(Nav::Post);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
    EXPECT_EQ(state(), Cursor::State::Browse);
    EXPECT_FALSE(dm->inTransaction());
    {
        Cursor c(co.company(), "cli", true);
        ASSERT_TRUE(stored("C200", c));
        EXPECT_EQ(c.str("Cli_name"), "Gamma Inc.");
        EXPECT_EQ(c.integer("Cli_du_days"), 45);
        EXPECT_EQ(c.integer("Cli_copies"), 3);
        EXPECT_EQ(c.str("Cli_ship_via"), "Purolator");
        EXPECT_TRUE(c.boolean("Cli_tax_fed"));
        EXPECT_EQ(c.str("Cli_user"), "TESTER");
    }

    // Keys in browse state move through the clients.
    QLineEdit* code = w("EditCode");
    code->setFocus();
    QTest::keyClick(code, Qt::Key_Home);
    EXPECT_EQ(current(), "C050");
    QTest::keyClick(code, Qt::Key_Down);
    EXPECT_EQ(current(), "C100");
    QTest::keyClick(code, Qt::Key_End);
    EXPECT_EQ(current(), "C200");
    QTest::keyClick(code, Qt::Key_PageUp);
    EXPECT_EQ(current(), "C100");
    QTest::keyClick(code, Qt::Key_Down);

    // An edit that is cancelled leaves the row as it was.
    frm->navigator().trigger(Nav::Edit);
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_TRUE(dm->inTransaction());
    EXPECT_FALSE(w("EditCode")->isEnabled());
    EXPECT_TRUE(focused("EditName"));
    QTest::keyClicks(w("EditName"), " renamed");
    QTest::keyClick(w("EditName"), Qt::Key_Return);
    EXPECT_TRUE(focused("EditAdr1")) << "Enter moves to the next field while editing";
    frm->navigator().trigger(Nav::Cancel);
    EXPECT_FALSE(dm->inTransaction());
    EXPECT_EQ(w("EditName")->text(), "Gamma Inc.");
    {
        Cursor c(co.company(), "cli", true);
        ASSERT_TRUE(stored("C200", c));
        EXPECT_EQ(c.str("Cli_name"), "Gamma Inc.");
    }

    // Delete key: confirmed, no ledger rows, the client goes.
    QTest::keyClick(w("EditCode"), Qt::Key_Delete);
    EXPECT_EQ(clientCount(), 2);
    {
        Cursor c(co.company(), "cli", true);
        EXPECT_FALSE(stored("C200", c));
    }

    // C100 has a ledger row: refused with message 3.
    ASSERT_TRUE(dm->cli().findKey({Value("C100")}));
    answers.clear();
    frm->navigator().trigger(Nav::Delete);
    ASSERT_EQ(answers.texts.size(), 2u); // the question, then the refusal
    EXPECT_EQ(answers.texts[1], frm->messages().message(kMsgHasLedgerRows).toStdString());
    EXPECT_EQ(clientCount(), 2);
    EXPECT_FALSE(dm->inTransaction());
}

TEST_F(ClientWindowTest, TypedCodesOpenTheirClientOrChangeNothing) {
    open();
    const auto before = clientCount();
    typeAndLeave("EditCode", "NOPE", "EditCode");
    QTest::keyClick(w("EditCode"), Qt::Key_Return);
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    ASSERT_FALSE(answers.texts.empty());
    EXPECT_EQ(answers.last(), "This client code does not exist.");
    EXPECT_EQ(state(), Cursor::State::Browse);
    EXPECT_EQ(clientCount(), before);

    // A known code typed in browse state opens that client for editing.
    answers.clear();
    w("EditCode")->selectAll();
    QTest::keyClicks(w("EditCode"), "C050");
    QTest::keyClick(w("EditCode"), Qt::Key_Return);
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_EQ(current(), "C050");
    EXPECT_FALSE(w("EditCode")->isEnabled());
    frm->navigator().trigger(Nav::Cancel);

    // An existing code typed while inserting edits that client instead.
    frm->navigator().trigger(Nav::Insert);
    typeAndLeave("EditCode", "C100", "EditName");
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_EQ(current(), "C100");
    EXPECT_EQ(w("EditName")->text(), "Acme");
    frm->navigator().trigger(Nav::Cancel);
    EXPECT_EQ(clientCount(), before);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
}

TEST_F(ClientWindowTest, RefusedPostShowsTheMessageAndTheField) {
    open();
    frm->navigator().trigger(Nav::Insert);
    typeAndLeave("EditCode", "C300", "EditName");
    frm->navigator().trigger(Nav::Post);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.last(), "This sales rep. code does not exist.");
    EXPECT_EQ(w<QTabWidget>("PageControl1")->currentWidget()->objectName(), "TabControl");
    EXPECT_TRUE(focused("EditSalesrep"));
    EXPECT_EQ(state(), Cursor::State::Insert) << "the input stays";

    // Leaving the salesman field empty is refused on the spot.
    answers.clear();
    typeAndLeave("EditSalesrep", "", "EditTerr");
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    EXPECT_EQ(answers.last(), "Please enter a sales rep. code.");
    EXPECT_TRUE(focused("EditSalesrep"));
    typeAndLeave("EditSalesrep", "S1", "EditTerr");

    // Field exit: an unknown positive account is refused and keeps the focus.
    answers.clear();
    typeAndLeave("EditAccnt1", "4001", "EditAccnt2");
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    EXPECT_EQ(answers.last(), "This account does not exist.");
    EXPECT_TRUE(focused("EditAccnt1"));
    frm->navigator().trigger(Nav::Cancel);
    EXPECT_EQ(clientCount(), 2);
}

TEST_F(ClientWindowTest, AnotherWorkstationsLockIsWaitedOut) {
    open();
    ASSERT_TRUE(dm->cli().findKey({Value("C100")}));
    QProcess holder;
    holder.start(QStringLiteral(VM_BINARY_DIR "/tests/modules/custmaint/maint_lock_holder"),
                 {QString::fromStdString(co.companyDir()), QStringLiteral("cli"), QStringLiteral("C100")});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << holder.readAllStandardError().toStdString();

    // The holder lets go after a while: the edit then goes through.
    QTimer::singleShot(700, [&] { holder.write("\n"); });
    frm->navigator().trigger(Nav::Edit);
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
    frm->navigator().trigger(Nav::Cancel);
    holder.waitForFinished(5000);

    // A user who gives up waiting is left browsing, with nothing open.
    QProcess again;
    again.start(QStringLiteral(VM_BINARY_DIR "/tests/modules/custmaint/maint_lock_holder"),
                {QString::fromStdString(co.companyDir()), QStringLiteral("cli"), QStringLiteral("C100")});
    ASSERT_TRUE(again.waitForReadyRead(10000));
    bool sawWaitBox = false;
    answers.onDialog = [&](QDialog* d) {
        sawWaitBox = sawWaitBox || qobject_cast<forms::TLockWaitBox*>(d) != nullptr;
        d->reject();
    };
    EXPECT_THROW(frm->navigator().trigger(Nav::Edit), forms::AbortAction);
    EXPECT_TRUE(sawWaitBox);
    EXPECT_EQ(state(), Cursor::State::Browse);
    EXPECT_FALSE(dm->inTransaction());
    again.write("\n");
    again.waitForFinished(5000);
}

TEST_F(ClientWindowTest, MovesShowWhatOtherWorkstationsChanged) {
    open();
    ASSERT_EQ(current(), "C050");
    {
        // Another workstation renames C100 while this window browses.
        Cursor other(co.company(), "cli");
        ASSERT_TRUE(other.findKey({Value("C100")}));
        other.edit();
        other.set("Cli_name", "Acme renamed");
        other.post();
    }
    QTest::keyClick(w("EditCode"), Qt::Key_Down);
    EXPECT_EQ(current(), "C100");
    EXPECT_EQ(w("EditName")->text(), "Acme renamed");
}

TEST_F(ClientWindowTest, FrenchTextsAndInternationalTerms) {
    open(2, true);
    EXPECT_EQ(frm->windowTitle(), "Mise à jour des clients");
    EXPECT_EQ(w<QCheckBox>("CheckTaxFed")->text(), "Charger taxe 1");
    EXPECT_EQ(w<QComboBox>("ComboCurrency")->itemText(0), "Défaut");
    EXPECT_EQ(frm->messages().message(kMsgCodeNotFound), "Ce code de client n'existe pas.");
    EXPECT_EQ(frm->messages().message(kMsgPickerCaption), "Liste des clients");
    frm->quit();
    frm.reset();
    dm.reset();

    open(1, true);
    EXPECT_EQ(w<QLabel>("LabelPostal")->text(), "Zip code");
    EXPECT_EQ(w<QLabel>("LabelNsfDate")->text(), "Date last NSF check");
    // With international terms an empty postal code is accepted.
    frm->navigator().trigger(Nav::Insert);
    typeAndLeave("EditCode", "C400", "EditName");
    typeAndLeave("EditSalesrep", "S1", "EditBillTo");
    typeAndLeave("EditTerms", "30", "EditDueDays");
    frm->navigator().trigger(Nav::Post);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
    EXPECT_EQ(clientCount(), 3);
}

TEST_F(ClientWindowTest, EnterMovesOnFromTheCodeFieldAndEveryEntryField) {
    open();
    frm->navigator().trigger(Nav::Insert);
    QTest::keyClicks(w("EditCode"), "C500");
    QTest::keyClick(w("EditCode"), Qt::Key_Return);
    ASSERT_TRUE(focused("EditName"));
    for (int i = 0; i < 12; ++i) {
        QWidget* from = frm->focusWidget();
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_NE(frm->focusWidget(), from) << from->objectName().toStdString();
    }
    // The order follows the rows of the page: account 1, then the date beside it.
    w<QTabWidget>("PageControl1")->setCurrentWidget(w<QWidget>("TabControl"));
    w("EditAccnt1")->setFocus();
    QTest::keyClick(w("EditAccnt1"), Qt::Key_Return);
    EXPECT_TRUE(focused("EditDateCreated"));
    frm->navigator().trigger(Nav::Cancel);
}

TEST_F(ClientWindowTest, EscapeAsksBeforeDiscardingCtrlSPostsAndButtonsHaveAccessKeys) {
    open(2);
    std::set<QChar> keys;
    for (auto* b : frm->findChildren<QPushButton*>()) {
        if (b->text().isEmpty()) continue;
        const int amp = b->text().indexOf('&');
        ASSERT_GE(amp, 0) << b->text().toStdString();
        EXPECT_TRUE(keys.insert(b->text().at(amp + 1).toLower()).second)
            << "clash: " << b->text().toStdString();
    }
    ASSERT_TRUE(dm->cli().findKey({Value("C100")}));
    frm->navigator().trigger(Nav::Edit);
    QTest::keyClicks(w("EditName"), " Ltd");
    QTest::keyClick(w("EditName"), Qt::Key_Escape);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(QString::fromStdString(answers.last()), frm->messages().message(kMsgDiscardChanges));
    EXPECT_EQ(state(), Cursor::State::Browse);
    EXPECT_EQ(w("EditName")->text(), "Acme");

    activate();
    frm->navigator().trigger(Nav::Edit);
    w("EditName")->end(false);
    QTest::keyClicks(w("EditName"), " Inc.");
    QTest::keyClick(w("EditName"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(state(), Cursor::State::Browse) << answers.last();
    Cursor c(co.company(), "cli", true);
    ASSERT_TRUE(stored("C100", c));
    EXPECT_EQ(c.str("Cli_name"), "Acme Inc.");
}

TEST_F(ClientWindowTest, StoredValueOutsideItsListMayBeLeftANewOneIsRefusedWithAReason) {
    {
        Cursor c(co.company(), "cli");
        ASSERT_TRUE(c.findKey({Value("C100")}));
        c.edit();
        c.set("Cli_language", "E");
        c.set("Cli_current_bal", Money::fromUnits(1234));
        c.post();
    }
    open();
    ASSERT_TRUE(dm->cli().findKey({Value("C100")}));
    EXPECT_TRUE(w("EditBalance")->text().contains("1,234")) << w("EditBalance")->text().toStdString();
    EXPECT_TRUE(w("EditBalance")->alignment() & Qt::AlignRight);
    frm->navigator().trigger(Nav::Edit);
    typeAndLeave("EditSalesrep", "S1", "EditLanguage");
    w("EditLanguage")->setFocus();
    w("EditBillTo")->setFocus();
    waitFor([] { return false; }, 60);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
    EXPECT_TRUE(focused("EditBillTo"));
    typeAndLeave("EditLanguage", "3", "EditBillTo");
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    EXPECT_EQ(QString::fromStdString(answers.last()), frm->messages().message(kMsgLanguageRefused));
    EXPECT_TRUE(focused("EditLanguage"));
    frm->navigator().trigger(Nav::Cancel);
}

// Writes a picture of every page, in both languages and both terminologies,
// into $VM_SCREENSHOTS when it is set (for looking the window over).
TEST_F(ClientWindowTest, Screenshots) {
    const char* dir = std::getenv("VM_SCREENSHOTS");
    if (!dir) GTEST_SKIP() << "VM_SCREENSHOTS not set";
    for (int language : {1, 2}) {
        for (bool intl : {false, true}) {
            open(language, intl);
            ASSERT_TRUE(dm->cli().findKey({Value("C100")}));
            auto* pages = w<QTabWidget>("PageControl1");
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                QApplication::processEvents();
                frm->grab().save(QString("%1/custmaint-%2-%3-%4.png")
                                     .arg(dir, language == 1 ? "en" : "fr", intl ? "intl" : "ca")
                                     .arg(i));
            }
            frm->quit();
            frm.reset();
            dm.reset();
        }
    }
}

TEST(ClientModuleTest, ShowDllFormRunsTheWindowAndReturnsMinusOne) {
    ClientCompany co;
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    core::TLinkSection link;
    link.DataDir = core::LinkString(co.dataDir());
    link.CompanyCode = core::LinkString("1");
    link.Language = 1;
    link.LangCode = core::LinkShortString("en");
    link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
    QTimer closer;
    bool seen = false;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "Tcustmaint_frm" && top->isVisible()) {
                auto* code = top->findChild<QLineEdit*>("EditCode");
                seen = seen || (code && code->text() == "C100");
                if (seen)
                    if (auto* quit = top->findChild<QAbstractButton*>("BtnQuit")) quit->click();
            }
        }
    });
    closer.start(50);
    const core::ModuleRun run = core::ModuleLoader(VM_PROGRAM_DIR).run("custmaint", link);
    EXPECT_TRUE(run.loaded) << run.errorDetail;
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(seen);
}

} // namespace
