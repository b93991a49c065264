#include "../custmaint/ClientCompany.h"
#include "../custmaint/GuiSupport.h"

#include "common/core/LinkStringQt.h"
#include "common/core/ModuleLoader.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/AbortAction.h"
#include "common/forms/LockWaitBox.h"
#include "common/forms/MessageList.h"
#include "common/forms/TErrorForm.h"
#include "modules/vendmaint/ui/Tvendmaint_dm.h"
#include "modules/vendmaint/ui/Tvendmaint_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace vm;
using namespace vm::vendmaint;
using Nav = vm::forms::RecordNavigator;

namespace {

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class SupplierWindowTest : public ::testing::Test {
protected:
    ClientCompany co;
    core::TLinkSection link;
    std::unique_ptr<forms::TErrorForm> errorForm;
    std::unique_ptr<Tvendmaint_dm> dm;
    std::unique_ptr<Tvendmaint_frm> frm;
    ModalAnswerer answers;
    std::string settingsPath;

    void SetUp() override {
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        settingsPath = co.dataDir() + "/../test.ini";
        ::setenv("VALMORAND_SETTINGS", settingsPath.c_str(), 1);
        ClientCompany::add(co.company(), "glm",
                           {{"Glm_account", 1010}, {"Glm_Description", "Main bank"}, {"Glm_summarize", "N"}});
        ClientCompany::add(co.company(), "glm",
                           {{"Glm_account", 1020}, {"Glm_Description", "US bank"}, {"Glm_summarize", "N"}});
        co.setControl({{"Ctrl_bank_accnt1", 1010},
                       {"Ctrl_bank_accnt2", 1020},
                       {"Ctrl_ApCopies", 2},
                       {"Ctrl_curr1_name", "US dollar"},
                       {"Ctrl_curr1_sign", "US"}});
        ClientCompany::add(co.company(), "sup",
                           {{"Sup_code", "S100"},
                            {"Sup_name", "Paper Co"},
                            {"Sup_bank_account", 1020},
                            {"Sup_currency", 1},
                            {"Sup_purch_ytd", Money::fromUnits(1500)}});
        ClientCompany::add(co.company(), "sup", {{"Sup_code", "S200"}, {"Sup_name", "Ink Ltd"}});
        ClientCompany::add(co.company(), "cap", {{"Cap_supplier", "S100"}, {"Cap_invoice", "A1"}});
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
        dm = std::make_unique<Tvendmaint_dm>();
        dm->setErrorForm(errorForm.get());
        frm = std::make_unique<Tvendmaint_frm>(link, *dm);
        ASSERT_TRUE(frm->startUp());
        frm->show();
        activate();
    }

    void activate() {
        QApplication::setActiveWindow(frm.get());
        waitFor([&] { return frm->isActiveWindow(); }, 500);
    }

    template <class T = QLineEdit> T* w(const char* name) {
        T* found = frm->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    bool focused(const char* name) { return frm->focusWidget() == w<QWidget>(name); }

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

    Cursor::State state() { return dm->sup().state(); }
    std::string current() { return dm->sup().str("Sup_code"); }
    std::int64_t count() {
        Cursor c(co.company(), "sup", true);
        return c.recordCount();
    }
};

TEST_F(SupplierWindowTest, CreateEditCancelAndDelete) {
    open();
    EXPECT_EQ(frm->windowTitle(), "Maintenance of suppliers");
    EXPECT_EQ(current(), "S100");
    EXPECT_EQ(w<QComboBox>("ComboBank")->currentText(), "US bank");
    EXPECT_EQ(w<QComboBox>("ComboCurrency")->currentText(), "US dollar");
    EXPECT_TRUE(w("EditPurchYtd")->text().startsWith("US")) << "amounts carry the supplier's currency sign";
    QTest::keyClick(w("EditCode"), Qt::Key_Down);
    EXPECT_EQ(current(), "S200");
    EXPECT_EQ(w<QComboBox>("ComboBank")->currentIndex(), -1) << "no bank account set";
    EXPECT_TRUE(w("EditPurchYtd")->text().isEmpty() || w("EditPurchYtd")->text().startsWith("$"));

    // New supplier: defaults, then an existing code is refused at post.
    QTest::keyClick(w("EditCode"), Qt::Key_Insert);
    ASSERT_EQ(state(), Cursor::State::Insert);
    EXPECT_EQ(w<QSpinBox>("SpinCopies")->value(), 2);
    EXPECT_EQ(w<QComboBox>("ComboBank")->currentIndex(), 0);
    EXPECT_EQ(w("EditAccnt1")->text(), "0");
    typeAndLeave("EditName", "Office Depot", "EditCity");
    frm->navigator().trigger(Nav::Post);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.last(), "Please enter a supplier code.");
    EXPECT_TRUE(focused("EditCode"));
    answers.clear();
    typeAndLeave("EditCode", "S300", "EditName");
    w<QCheckBox>("CheckEmailPo")->click();
    frm->navigator().trigger(Nav::Post);
    EXPECT_EQ(answers.last(), "Please enter an e-mail address.");
    typeAndLeave("EditEmail", "orders@depot.ca", "EditName");
    frm->navigator().trigger(Nav::Post);
    EXPECT_EQ(state(), Cursor::State::Browse);
    EXPECT_FALSE(dm->inTransaction());
    {
        Cursor c(co.company(), "sup", true);
        ASSERT_TRUE(c.findKey({Value("S300")}));
        EXPECT_EQ(c.integer("Sup_bank_account"), 1010);
        EXPECT_EQ(c.integer("Sup_copies"), 2);
        EXPECT_TRUE(c.boolean("Sup_email_po"));
        EXPECT_FALSE(c.isNull("Sup_credit_limit"));
        EXPECT_EQ(c.date("Sup_date_created"), Date::today());
    }

    // Edit and cancel leaves the row as it was; a bad purchase account is
    // refused on leaving the field.
    answers.clear();
    frm->navigator().trigger(Nav::Edit);
    ASSERT_EQ(state(), Cursor::State::Edit);
    typeAndLeave("EditName", "Changed", "EditCity");
    typeAndLeave("EditAccnt2", "7777", "EditAccnt3");
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    EXPECT_EQ(answers.last(), "This account does not exist.");
    EXPECT_TRUE(focused("EditAccnt2"));
    frm->navigator().trigger(Nav::Cancel);
    EXPECT_FALSE(dm->inTransaction());
    {
        Cursor c(co.company(), "sup", true);
        ASSERT_TRUE(c.findKey({Value("S300")}));
        EXPECT_EQ(c.str("Sup_name"), "Office Depot");
    }

    // Delete: refused for a supplier with payables, done for the new one.
    answers.clear();
    QTest::keyClick(w("EditCode"), Qt::Key_Home);
    ASSERT_EQ(current(), "S100");
    QTest::keyClick(w("EditCode"), Qt::Key_Delete);
    ASSERT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[1], "There are transactions for this supplier. The record cannot be deleted.");
    QTest::keyClick(w("EditCode"), Qt::Key_End);
    ASSERT_EQ(current(), "S300");
    QTest::keyClick(w("EditCode"), Qt::Key_Delete);
    EXPECT_EQ(count(), 2);
}

TEST_F(SupplierWindowTest, TypedCodesOpenTheirSupplierOrChangeNothing) {
    open();
    typeAndLeave("EditCode", "NOPE", "EditCode");
    QTest::keyClick(w("EditCode"), Qt::Key_Return);
    waitFor([&] { return !answers.texts.empty(); }, 1000);
    EXPECT_EQ(answers.last(), "The supplier code does not exist.");
    EXPECT_EQ(state(), Cursor::State::Browse);

    answers.clear();
    frm->navigator().trigger(Nav::Insert);
    typeAndLeave("EditCode", "S200", "EditName");
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_EQ(current(), "S200");
    EXPECT_FALSE(w("EditCode")->isEnabled());
    frm->navigator().trigger(Nav::Cancel);
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
}

TEST_F(SupplierWindowTest, AnotherWorkstationsLockIsWaitedOut) {
    open();
    QProcess holder;
    holder.start(QStringLiteral(VM_BINARY_DIR "/tests/modules/custmaint/maint_lock_holder"),
                 {QString::fromStdString(co.companyDir()), QStringLiteral("sup"), QStringLiteral("S100")});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << holder.readAllStandardError().toStdString();
    QTimer::singleShot(700, [&] { holder.write("\n"); });
    frm->navigator().trigger(Nav::Edit);
    EXPECT_EQ(state(), Cursor::State::Edit);
    EXPECT_TRUE(answers.texts.empty()) << answers.last();
    frm->navigator().trigger(Nav::Cancel);
    holder.waitForFinished(5000);
}

TEST_F(SupplierWindowTest, FrenchTextsAndInternationalTerms) {
    open(2, true);
    EXPECT_EQ(frm->windowTitle(), "Mise à jour des fournisseurs");
    EXPECT_EQ(w<QLabel>("LabelProv")->text(), "Province/État") << "no State label in French";
    EXPECT_EQ(w<QComboBox>("ComboCurrency")->itemText(0), "Défaut");
    EXPECT_EQ(frm->messages().message(kMsgHasPayables),
              "Il y a des transactions pour ce fournisseur.  La fiche ne peut pas être détruite.");
    frm->quit();
    frm.reset();
    dm.reset();
    open(1, true);
    EXPECT_EQ(w<QLabel>("LabelProv")->text(), "State");
    EXPECT_EQ(w<QLabel>("LabelPostal")->text(), "Zip code");
}

TEST_F(SupplierWindowTest, EnterMovesOnFromTheCodeFieldAndEveryEntryField) {
    open();
    frm->navigator().trigger(Nav::Insert);
    QTest::keyClicks(w("EditCode"), "S500");
    QTest::keyClick(w("EditCode"), Qt::Key_Return);
    ASSERT_TRUE(focused("EditName")) << "the name must not land in the code field";
    QTest::keyClicks(w("EditName"), "Toner Inc");
    EXPECT_EQ(w("EditCode")->text(), "S500");
    for (int i = 0; i < 12; ++i) {
        QWidget* from = frm->focusWidget();
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_NE(frm->focusWidget(), from) << from->objectName().toStdString();
    }
    frm->navigator().trigger(Nav::Cancel);
}

TEST_F(SupplierWindowTest, DeleteQuestionNamesTheSupplierAndDefaultsToNo) {
    open();
    QTest::keyClick(w("EditCode"), Qt::Key_End);
    ASSERT_EQ(current(), "S200");
    QString title, text;
    bool noIsDefault = false;
    QTimer::singleShot(0, [&] { // before the fixture's answerer says yes
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        box->button(QMessageBox::No)->click();
    });
    frm->navigator().trigger(Nav::Delete);
    EXPECT_EQ(title, frm->windowTitle());
    EXPECT_EQ(text, "Delete the supplier S200 (Ink Ltd)?");
    EXPECT_TRUE(noIsDefault);
    EXPECT_EQ(count(), 2) << "No keeps the supplier";
}

TEST_F(SupplierWindowTest, Screenshots) {
    const char* dir = std::getenv("VM_SCREENSHOTS");
    if (!dir) GTEST_SKIP() << "VM_SCREENSHOTS not set";
    for (int language : {1, 2}) {
        for (bool intl : {false, true}) {
            open(language, intl);
            auto* pages = w<QTabWidget>("PageControl1");
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                QApplication::processEvents();
                frm->grab().save(QString("%1/vendmaint-%2-%3-%4.png")
                                     .arg(dir, language == 1 ? "en" : "fr", intl ? "intl" : "ca")
                                     .arg(i));
            }
            frm->quit();
            frm.reset();
            dm.reset();
        }
    }
}

TEST(SupplierModuleTest, ShowDllFormRunsTheWindowAndReturnsMinusOne) {
    ClientCompany co;
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    core::TLinkSection link;
    link.DataDir = core::LinkString(co.dataDir());
    link.CompanyCode = core::LinkString("1");
    link.Language = 2;
    link.LangCode = core::LinkShortString("fr");
    link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
    QTimer closer;
    bool seen = false;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "Tvendmaint_frm" && top->isVisible() &&
                top->windowTitle() == "Mise à jour des fournisseurs") {
                seen = true;
                if (auto* quit = top->findChild<QAbstractButton*>("BtnQuit")) quit->click();
            }
        }
    });
    closer.start(50);
    const core::ModuleRun run = core::ModuleLoader(VM_PROGRAM_DIR).run("vendmaint", link);
    EXPECT_TRUE(run.loaded) << run.errorDetail;
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(seen);
}

} // namespace
