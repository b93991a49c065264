#include "common/forms/Application.h"
#include "common/forms/HelpViewer.h"
#include "common/forms/MessageList.h"
#include "engine/Session.h"
#include "modules/purchjrnl/ui/Tpurchjrnl_dm.h"
#include "modules/purchjrnl/ui/Tpurchjrnl_frm.h"
#include "tests/modules/purchjrnl/PayablesCompany.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vm;
using namespace vm::purchjrnl;
using namespace vm::test;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "purchjrnl_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new forms::Application(argc, argv);
    return *instance;
}

// Presses OK on the next message box and records its text; gives up after
// 5 s so that a box that never comes cannot hang the test.
void answerNextBox(QString* text) {
    auto* timer = new QTimer(&app());
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (!timer->isActive()) return;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->text();
            timer->stop();
            timer->deleteLater();
            box->buttons().front()->click();
        } else if (++*tries > 250) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}

class PurchasesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        co.ledger("S1", "OLD1", "1", units(70), Date::fromYmd(2026, 4, 1));
        link.LoginUser = core::LinkString("Clerk");
        link.UserName = core::LinkString("Clerk");
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Test Company");
        link.DataDir = core::LinkString(co.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.SessionId = 6;
    }
    void TearDown() override {
        window.reset();
        dm.reset();
        Session::instance().closeAll();
    }
    void open(int lang) {
        link.Language = lang;
        link.LangCode = core::LinkShortString(lang == 1 ? "en" : "fr");
        window.reset();
        dm = std::make_unique<Tpurchjrnl_dm>(link);
        window = std::make_unique<Tpurchjrnl_frm>(link, *dm);
        ASSERT_TRUE(window->startUp());
        if (std::getenv("VM_SCREENSHOT_DIR")) window->resize(1366, 768);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }
    template <class W> W* find(const QString& name) {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Types into a field and leaves it with Enter, as the user does.
    void type(const QString& name, const QString& text) {
        // Focus moves only inside the active window: after a message box the
        // window is made active again, as the user's click would.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        auto* e = find<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();
        QApplication::processEvents();
    }

    PayablesCompany co;
    core::TLinkSection link;
    std::unique_ptr<Tpurchjrnl_dm> dm;
    std::unique_ptr<Tpurchjrnl_frm> window;
};

TEST_F(PurchasesWindowTest, APurchaseIsEnteredAndAccepted) {
    for (int lang : {1, 2}) {
        open(lang);
        type("Edit_supplier", "S1");
        EXPECT_EQ(find<QLabel>("Label_sup_name")->text(), QStringLiteral("Supplier One"));
        EXPECT_EQ(find<QLineEdit>("Edit_account1")->text(), QString::number(kPayables));

        // A number already on file for the supplier is refused on leaving.
        QString said;
        answerNextBox(&said);
        type("Edit_invoice", "old1");
        EXPECT_EQ(said, window->messages().message(kMsgInvoiceExists));
        EXPECT_TRUE(find<QLineEdit>("Edit_invoice")->text().isEmpty());

        type("Edit_invoice", lang == 1 ? "inv-en" : "inv-fr");
        EXPECT_EQ(find<QLineEdit>("Edit_invoice")->text(), lang == 1 ? "INV-EN" : "INV-FR");
        find<QPlainTextEdit>("Memo_memo")->setPlainText("Paper and toner");
        type("Edit_credit1", "230.50");
        type("Edit_debit2", "200");
        type("Edit_debit3", "30.50");
        EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), find<QLineEdit>("Edit_total_credit")->text());
        if (const char* dir = std::getenv("VM_SCREENSHOT_DIR"))
            window->grab().save(QString::fromLocal8Bit(dir) +
                                (lang == 1 ? "/purchjrnl-en.png" : "/purchjrnl-fr.png"));
        QTest::mouseClick(find<QPushButton>("BtnAccept"), Qt::LeftButton);
        EXPECT_TRUE(
            find<QStatusBar>("StatusBar1")->currentMessage().contains(lang == 1 ? "INV-EN" : "INV-FR"));
        EXPECT_TRUE(find<QLineEdit>("Edit_supplier")->text().isEmpty());
        EXPECT_EQ(link.LedgerPrefix.str(), "N");
    }
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(70) + Money::fromCents(2 * 23050));
    EXPECT_EQ(co.count("apori"), 2);
    EXPECT_EQ(co.count("tjld"), 6);
    co.expectBooksBalance();
}

TEST_F(PurchasesWindowTest, ADirectCashPurchaseLeavesTheSupplierAlone) {
    open(1);
    QTest::mouseClick(find<QAbstractButton>("CheckBox_direct"), Qt::LeftButton);
    type("Edit_invoice", "cash1");
    find<QPlainTextEdit>("Memo_memo")->setPlainText("Stamps");
    type("Edit_account1", QString::number(kBank));
    EXPECT_EQ(find<QLineEdit>("Edit_desc1")->text(), QStringLiteral("Bank - Canadian"));
    type("Edit_credit1", "40");
    type("Edit_debit2", "40");
    QTest::mouseClick(find<QPushButton>("BtnAccept"), Qt::LeftButton);

    Cursor apori(co.db(), "apori", true);
    ASSERT_TRUE(apori.first());
    EXPECT_TRUE(apori.boolean("Direct_cash_purchase"));
    EXPECT_EQ(apori.str("Reference"), "CASH1");
    EXPECT_EQ(co.count("cap"), 1); // only the one from SetUp
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(70));
    co.expectBooksBalance();
}

TEST_F(PurchasesWindowTest, ADebitNoteNeedsAnInvoiceAndAReferenceAndLeavesPurchaseTotalsAlone) {
    open(1);
    type("Edit_supplier", "S1");
    find<QComboBox>("ComboBox_type")->setCurrentIndex(static_cast<int>(PurchaseType::Debit));
    QString said;
    answerNextBox(&said);
    type("Edit_invoice", "nope");
    EXPECT_EQ(said, window->messages().message(kMsgInvoiceNotFound));
    type("Edit_invoice", "old1");
    said.clear();
    answerNextBox(&said);
    type("Edit_reference", "");
    EXPECT_EQ(said, window->messages().message(kMsgReferenceMissing));
    type("Edit_reference", "DN-7");
    find<QPlainTextEdit>("Memo_memo")->setPlainText("Short delivery");
    type("Edit_credit1", "25");
    type("Edit_debit2", "25");
    QTest::mouseClick(find<QPushButton>("BtnAccept"), Qt::LeftButton);
    EXPECT_TRUE(find<QLineEdit>("Edit_supplier")->text().isEmpty());

    Cursor cap(co.db(), "cap", true);
    ASSERT_TRUE(cap.last());
    EXPECT_EQ(cap.str("Cap_invoice"), "OLD1");
    EXPECT_EQ(cap.str("Cap_type"), "4");
    EXPECT_EQ(cap.str("Cap_ref"), "DN-7");
    EXPECT_EQ(co.count("cap"), 2);
    EXPECT_EQ(co.count("apori"), 1);
    EXPECT_EQ(co.supplierMoney("S1", "Sup_current_bal"), units(95));
    EXPECT_EQ(co.supplierMoney("S1", "Sup_purch_ytd"), Money());
    EXPECT_EQ(co.supplierMoney("S1", "Sup_last_purch"), Money());
    co.expectBooksBalance();
}

// Help shows the window's own topic in the program's help viewer.
TEST_F(PurchasesWindowTest, HelpOpensTheTopicOfTheWindow) {
    const std::string help = co.rootDir() + "/help/en";
    std::filesystem::create_directories(help);
    std::ofstream(help + "/304.html") << "<p>304</p>";
    link.ProgramDir = core::LinkString(co.rootDir() + "/bin");
    open(1);
    QTest::mouseClick(find<QPushButton>("BtnHelp"), Qt::LeftButton);
    forms::HelpViewer* viewer = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* v = qobject_cast<forms::HelpViewer*>(w)) viewer = v;
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->browser()->source().toLocalFile().endsWith("/304.html"));
}

} // namespace
