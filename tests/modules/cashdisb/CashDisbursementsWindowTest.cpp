#include "common/core/RegionalSettings.h"
#include "common/forms/Application.h"
#include "common/forms/HelpViewer.h"
#include "common/journal/JournalWriter.h"
#include "engine/Session.h"
#include "modules/cashdisb/core/DisbursementEntry.h"
#include "modules/cashdisb/ui/InvoiceGridModel.h"
#include "modules/cashdisb/ui/LineGridModel.h"
#include "modules/cashdisb/ui/Tcashdisb_dm.h"
#include "modules/cashdisb/ui/Tcashdisb_frm.h"
#include "tests/modules/purchjrnl/PayablesCompany.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vm;
using namespace vm::cashdisb;
using namespace vm::test;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "cashdisb_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new forms::Application(argc, argv);
    return *instance;
}

class CashDisbursementsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        co.ledger("S1", "A1", "1", units(500), Date::fromYmd(2026, 4, 1));
        co.ledger("S1", "A2", "1", units(300), Date::fromYmd(2026, 4, 2));
        link.LoginUser = core::LinkString("Clerk");
        link.UserName = core::LinkString("Clerk");
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Test Company");
        link.DataDir = core::LinkString(co.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.SessionId = 5;
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
        dm = std::make_unique<Tcashdisb_dm>(link);
        window = std::make_unique<Tcashdisb_frm>(link, *dm);
        ASSERT_TRUE(window->startUp());
        if (std::getenv("VM_SCREENSHOT_DIR")) window->resize(1366, 768);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }
    template <class W> W* find(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void type(const char* name, const QString& text) {
        auto* e = find<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    Money balance() { return co.supplierMoney("S1", "Sup_current_bal"); }

    PayablesCompany co;
    core::TLinkSection link;
    std::unique_ptr<Tcashdisb_dm> dm;
    std::unique_ptr<Tcashdisb_frm> window;
};

TEST_F(CashDisbursementsWindowTest, ADisbursementToASupplierIsEnteredAndAccepted) {
    for (int lang : {1, 2}) {
        open(lang);
        type("Edit_supplier", "S1");
        QTest::keyClick(find<QLineEdit>("Edit_supplier"), Qt::Key_Return);
        EXPECT_EQ(find<QLabel>("Label_supplier_name")->text(), QStringLiteral("Supplier One"));
        EXPECT_FALSE(find<QLineEdit>("Edit_supplier")->isEnabled());
        auto* invoices = find<QTableView>("DBGrid1");
        ASSERT_EQ(invoices->model()->rowCount(), 2);

        // A double-click pays an invoice in full; the payables and bank rows
        // follow, and stay balanced as another payment is typed. The second
        // time round A1 is paid and A2 owes 200.
        const int row = lang == 1 ? 0 : 1;
        const QPoint cell =
            invoices->visualRect(invoices->model()->index(row, InvoiceGridModel::Invoice)).center();
        QTest::mouseClick(invoices->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(invoices->viewport(), Qt::LeftButton, {}, cell);
        if (lang == 1) {
            auto* payments = invoices->model();
            payments->setData(payments->index(1, InvoiceGridModel::Payment), "100", Qt::EditRole);
            QApplication::processEvents();
        }
        const QString total = find<QLineEdit>("Edit_total_debit")->text();
        EXPECT_TRUE(total.contains(lang == 1 ? QStringLiteral("600") : QStringLiteral("200")))
            << total.toStdString();
        EXPECT_EQ(total, find<QLineEdit>("Edit_total_credit")->text());

        type("Edit_reference", lang == 1 ? "CHQ100" : "CHQ101");
        find<QPlainTextEdit>("Memo_memo")->setPlainText("April invoices");
        if (const char* dir = std::getenv("VM_SCREENSHOT_DIR"))
            window->grab().save(QString::fromLocal8Bit(dir) +
                                (lang == 1 ? "/cashdisb-en.png" : "/cashdisb-fr.png"));
        QTest::mouseClick(find<QPushButton>("BtnAccept"), Qt::LeftButton);

        // Posted; the status bar says so and the window is idle again.
        EXPECT_TRUE(
            find<QStatusBar>("StatusBar1")->currentMessage().contains(lang == 1 ? "CHQ100" : "CHQ101"));
        EXPECT_TRUE(find<QLineEdit>("Edit_supplier")->isEnabled());
        EXPECT_EQ(invoices->model()->rowCount(), 0);
        EXPECT_EQ(link.LedgerPrefix.str(), "N");
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Déboursés, période courante 5 : ") +
                                         QString::fromStdString(journal::periodName(co.db(), 5)));
    EXPECT_EQ(balance(), Money());
    EXPECT_EQ(co.count("cdorihdr"), 2);
    EXPECT_EQ(co.count("cdoridet"), 3);
    co.expectBooksBalance();
}

TEST_F(CashDisbursementsWindowTest, ADisbursementNotToASupplierIsEnteredAndAccepted) {
    // Under the international setting English says "check".
    core::RegionalSettings regional = core::RegionalSettings::current();
    regional.intl = "Y";
    core::RegionalSettings::setCurrent(regional);
    open(1);
    regional.intl = "N";
    core::RegionalSettings::setCurrent(regional);
    EXPECT_TRUE(find<QLineEdit>("Edit_reference")->toolTip().startsWith("Check or transfer"));
    QTest::mouseClick(find<QAbstractButton>("CheckBox_not_supplier"), Qt::LeftButton);
    EXPECT_FALSE(find<QLineEdit>("Edit_supplier")->isEnabled());
    EXPECT_FALSE(find<QTableView>("DBGrid1")->isEnabled());
    type("Edit_reference", "TR9");
    find<QPlainTextEdit>("Memo_memo")->setPlainText("Wire fee");
    // Payables, bank, bank charges, then the empty row: the fee is typed on
    // the US bank in a new row, leaving the preset bank row at zero.
    auto* lines = find<QTableView>("DBGrid2")->model();
    ASSERT_EQ(lines->rowCount(), 4);
    lines->setData(lines->index(2, LineGridModel::Debit), "15", Qt::EditRole);
    lines->setData(lines->index(3, LineGridModel::Account), QString::number(kBankUs), Qt::EditRole);
    QApplication::processEvents();
    lines->setData(lines->index(3, LineGridModel::Credit), "15", Qt::EditRole);
    QApplication::processEvents();
    QTest::mouseClick(find<QPushButton>("BtnAccept"), Qt::LeftButton);

    Cursor tjlh(co.db(), "tjlh", true);
    ASSERT_TRUE(tjlh.first());
    EXPECT_EQ(tjlh.integer("Tjlh_journal"), 42);
    EXPECT_EQ(tjlh.str("Tjlh_memo"), "Wire fee");
    EXPECT_EQ(co.count("concil"), 1);
    EXPECT_EQ(balance(), units(800));
    co.expectBooksBalance();
}

// A text that is not an amount is refused with a message naming it, in the
// session's language; the row keeps what it had.
TEST_F(CashDisbursementsWindowTest, ANonAmountInEitherGridIsRefusedWithAMessage) {
    open(2);
    QString told;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    poll.start(10);
    const auto refused = [&](QAbstractItemModel* grid, int row, int column) {
        told.clear();
        EXPECT_FALSE(grid->setData(grid->index(row, column), "douze", Qt::EditRole));
        for (int i = 0; i < 300 && told.isEmpty(); ++i)
            QTest::qWait(10);
        EXPECT_EQ(told, QStringLiteral("«\u00a0douze\u00a0» n'est pas un montant."));
    };
    // A payment typed against a supplier's invoice.
    type("Edit_supplier", "S1");
    QTest::keyClick(find<QLineEdit>("Edit_supplier"), Qt::Key_Return);
    refused(find<QTableView>("DBGrid1")->model(), 0, InvoiceGridModel::Payment);
    EXPECT_EQ(dm->entry().invoices()[0].payment, Money());
    // An amount of the distribution of a disbursement to no supplier.
    open(2);
    QTest::mouseClick(find<QAbstractButton>("CheckBox_not_supplier"), Qt::LeftButton);
    refused(find<QTableView>("DBGrid2")->model(), 2, LineGridModel::Debit);
    EXPECT_EQ(dm->entry().lines()[2].line.debit, Money());
}

// Help shows the window's own topic in the program's help viewer.
TEST_F(CashDisbursementsWindowTest, HelpOpensTheTopicOfTheWindow) {
    const std::string help = co.rootDir() + "/help/en";
    std::filesystem::create_directories(help);
    std::ofstream(help + "/305.html") << "<p>305</p>";
    link.ProgramDir = core::LinkString(co.rootDir() + "/bin");
    open(1);
    QTest::mouseClick(find<QPushButton>("BtnHelp"), Qt::LeftButton);
    forms::HelpViewer* viewer = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* v = qobject_cast<forms::HelpViewer*>(w)) viewer = v;
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->browser()->source().toLocalFile().endsWith("/305.html"));
}

} // namespace
