#include "common/core/ExceptionHook.h"
#include "common/core/ModuleLoader.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/Application.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Session.h"
#include "modules/cashrcpt/core/ReceiptPosting.h"
#include "modules/cashrcpt/ui/InvoiceGridModel.h"
#include "modules/cashrcpt/ui/LineGridModel.h"
#include "modules/cashrcpt/ui/Tcashrcpt_dm.h"
#include "modules/cashrcpt/ui/Tcashrcpt_frm.h"
#include "tests/modules/cashrcpt/ReceiptCompany.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>

using namespace vm;
using namespace vm::cashrcpt;
using namespace vm::test;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "cashrcpt_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new forms::Application(argc, argv);
    return *instance;
}

// Answers the next modal box when it shows: records its text and presses
// the button `which` (OK when it has no such button). Gives up after 5 s so
// that a box that never comes cannot hang the test.
void answerNextBox(QString* text, QMessageBox::StandardButton which = QMessageBox::Ok,
                   std::function<void(QWidget*)> other = {}) {
    auto* timer = new QTimer(&app());
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (!timer->isActive()) return; // answered already; only its deletion is pending
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (text) *text = box->text();
            QAbstractButton* b = box->button(which);
            timer->stop();
            timer->deleteLater();
            (b ? b : box->buttons().front())->click();
        } else if (modal && other) {
            timer->stop();
            timer->deleteLater();
            other(modal);
        } else if (++*started > 250) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}

class CashReceiptsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        co.client("C1", "Client One", 0, 5000);
        co.ledger("C1", "A1", "1", units(500), Date::fromYmd(2026, 3, 1));
        co.ledger("C1", "A2", "1", units(300), Date::fromYmd(2026, 3, 2));
        link.LoginUser = core::LinkString("Clerk");
        link.UserName = core::LinkString("Clerk");
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Receipts Test Co");
        link.DataDir = core::LinkString(co.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.SessionId = 5;
        language(1);
    }
    void TearDown() override {
        window.reset();
        dm.reset();
        Session::instance().closeAll();
    }

    void language(int lang) {
        link.Language = lang;
        link.LangCode = core::LinkShortString(lang == 1 ? "en" : "fr");
    }
    void open() {
        dm = std::make_unique<Tcashrcpt_dm>(link);
        window = std::make_unique<Tcashrcpt_frm>(link, *dm);
        ASSERT_TRUE(window->startUp());
        window->show();
        activate();
    }
    // Focus moves only inside the active window: after a message box the
    // window is made active again, as the user's click would.
    void activate() {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }
    template <class W> W* find(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        auto* e = find<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    // What the delegate does when the user types in a cell and leaves it.
    void typeInCell(const char* grid, int row, int column, const QString& text) {
        auto* view = find<QTableView>(grid);
        view->model()->setData(view->model()->index(row, column), text, Qt::EditRole);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    Money balance() {
        Cursor cli(co.db(), "cli", true);
        cli.findKey({Value("C1")});
        return cli.money("Cli_current_bal");
    }

    ReceiptCompany co;
    core::TLinkSection link;
    std::unique_ptr<Tcashrcpt_dm> dm;
    std::unique_ptr<Tcashrcpt_frm> window;
};

TEST_F(CashReceiptsWindowTest, AClientReceiptIsEnteredAndAccepted) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cash receipts current period is 4 : April"));
    EXPECT_FALSE(find<QLineEdit>("Edit_date")->isEnabled());

    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    EXPECT_EQ(find<QLabel>("Label_client_name")->text(), QStringLiteral("Client One"));
    EXPECT_EQ(find<QLineEdit>("Edit_balance")->text(), QStringLiteral("$800.00"));
    EXPECT_EQ(find<QLineEdit>("Edit_credit_limit")->text(), QStringLiteral("$5,000.00"));
    EXPECT_FALSE(find<QLineEdit>("Edit_client")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("Edit_date")->isEnabled());
    auto* invoices = find<QTableView>("DBGrid1");
    ASSERT_EQ(invoices->model()->rowCount(), 2);

    // A double-click pays the invoice in full; the other is paid in part.
    const QPoint cell = invoices->visualRect(invoices->model()->index(0, InvoiceGridModel::Invoice)).center();
    QTest::mouseClick(invoices->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(invoices->viewport(), Qt::LeftButton, {}, cell);
    typeInCell("DBGrid1", 1, InvoiceGridModel::Payment, "120.50");
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("$620.50"));
    EXPECT_EQ(find<QLineEdit>("Edit_total_credit")->text(), QStringLiteral("$620.50"));

    type("Edit_reference", "CHQ77");
    find<QPlainTextEdit>("Memo_memo")->setPlainText("March statement");
    if (const char* dir = std::getenv("VM_SCREENSHOT_DIR"))
        window->grab().save(QString::fromLocal8Bit(dir) + "/cashrcpt-en.png");
    click("BtnAccept");

    EXPECT_EQ(balance(), units(800) - Money::fromCents(62050));
    EXPECT_EQ(co.count("crorihdr"), 1);
    EXPECT_EQ(co.count("croridet"), 2);
    EXPECT_EQ(co.count("car"), 4);
    // Back to idle, ready for the next client.
    EXPECT_TRUE(find<QLineEdit>("Edit_client")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("Edit_client")->text().isEmpty());
    EXPECT_EQ(invoices->model()->rowCount(), 0);
    EXPECT_EQ(link.LedgerPrefix.str(), "N");
    EXPECT_EQ(find<QLabel>("StatusPanelMessage")->text(), QStringLiteral("Receipt CHQ77 posted."));
    EXPECT_TRUE(find<QLineEdit>("Edit_balance")->text().isEmpty());
}

// Enter moves on from every entry field, as Tab does; the memo keeps Enter
// for its new lines.
TEST_F(CashReceiptsWindowTest, EnterMovesOnFromEveryEntryField) {
    open();
    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit_date"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit_reference"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QPlainTextEdit>("Memo_memo"));
    QTest::keyClicks(QApplication::focusWidget(), "a");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(find<QPlainTextEdit>("Memo_memo")->toPlainText(), QStringLiteral("a\n"));
    find<QCheckBox>("CheckBox_nsf")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QTableView>("DBGrid1"));
}

// French amounts: typed "1000,50" or "12.5", shown "1 000,50$" on a
// workstation that puts the symbol after; a text that is not an amount is
// refused with a message and changes nothing.
TEST_F(CashReceiptsWindowTest, FrenchAmountsAreTypedAndShownWithADecimalComma) {
    core::RegionalSettings after;
    after.currencyAlign = "R";
    core::RegionalSettings::setCurrent(after);
    language(2);
    open();
    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    EXPECT_EQ(find<QLineEdit>("Edit_balance")->text(), QStringLiteral("800,00$"));
    auto* invoices = find<QTableView>("DBGrid1");
    auto typePayment = [&](int row, const QString& text) {
        invoices->setFocus();
        invoices->setCurrentIndex(invoices->model()->index(row, InvoiceGridModel::Payment));
        QTest::keyClicks(invoices, text.left(1)); // the first key opens the editor
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    };
    typePayment(0, "1000,50");
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("1 000,50$"));
    typePayment(1, "12.5");
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("1 013,00$"));

    QString shown;
    answerNextBox(&shown);
    typePayment(1, "douze");
    QTest::qWait(100);
    EXPECT_EQ(shown, QStringLiteral("« douze » n'est pas un montant."));
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("1 013,00$"));
    core::RegionalSettings::setCurrent(core::RegionalSettings());
}

TEST_F(CashReceiptsWindowTest, AReceiptNotFromAClientIsEnteredAndAccepted) {
    open();
    click("CheckBox_not_client");
    EXPECT_FALSE(find<QLineEdit>("Edit_client")->isEnabled());
    EXPECT_FALSE(find<QTableView>("DBGrid1")->isEnabled());
    type("Edit_reference", "DEP5");
    find<QPlainTextEdit>("Memo_memo")->setPlainText("Bank interest");

    // The preset lines are the receivables and bank accounts; a new line is
    // typed in the empty row below them.
    auto* lines = find<QTableView>("DBGrid2");
    ASSERT_EQ(lines->model()->rowCount(), 4); // receivables, bank, discounts, empty row
    typeInCell("DBGrid2", 1, LineGridModel::Debit, "25");
    typeInCell("DBGrid2", 3, LineGridModel::Account, QString::number(kOtherIncome));
    typeInCell("DBGrid2", 3, LineGridModel::Credit, "25");
    EXPECT_EQ(lines->model()->data(lines->model()->index(3, LineGridModel::Description)).toString(),
              QStringLiteral("Other income"));
    EXPECT_EQ(find<QLineEdit>("Edit_total_credit")->text(), QStringLiteral("25.00")); // no currency sign

    // Ctrl+Delete removes a line and its amounts from the totals.
    typeInCell("DBGrid2", 4, LineGridModel::Account, QString::number(kDiscounts));
    typeInCell("DBGrid2", 4, LineGridModel::Debit, "3");
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("28.00"));
    lines->setFocus();
    lines->setCurrentIndex(lines->model()->index(4, LineGridModel::Description));
    QTest::keyClick(lines, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(find<QLineEdit>("Edit_total_debit")->text(), QStringLiteral("25.00"));
    EXPECT_EQ(lines->model()->rowCount(), 5);

    // Without a memo the user is asked: Yes goes back to the memo, No posts.
    find<QPlainTextEdit>("Memo_memo")->clear();
    QString asked;
    answerNextBox(&asked, QMessageBox::Yes);
    click("BtnAccept");
    EXPECT_EQ(asked, window->messages().message(kMsgMemoMissing));
    EXPECT_EQ(co.count("crorihdr"), 0);
    find<QPlainTextEdit>("Memo_memo")->setPlainText("Bank interest");

    click("BtnAccept");
    {
        // Closed before the next receipt: an open cursor keeps reading the
        // tables as they were when it started.
        Cursor hdr(co.db(), "crorihdr", true);
        ASSERT_TRUE(hdr.first());
        EXPECT_TRUE(hdr.boolean("Not_from_cli"));
        EXPECT_EQ(hdr.integer("Account4"), kOtherIncome);
        Cursor tjlh(co.db(), "tjlh", true);
        ASSERT_TRUE(tjlh.first());
        EXPECT_EQ(tjlh.integer("Tjlh_journal"), 2);
        EXPECT_EQ(tjlh.str("Tjlh_memo"), "Bank interest");
    }
    EXPECT_EQ(co.count("concil"), 1);
    EXPECT_EQ(balance(), units(800));

    // The next one goes on without a memo when the user answers No.
    click("CheckBox_not_client");
    type("Edit_reference", "DEP6");
    typeInCell("DBGrid2", 1, LineGridModel::Debit, "5");
    typeInCell("DBGrid2", 3, LineGridModel::Account, QString::number(kOtherIncome));
    typeInCell("DBGrid2", 3, LineGridModel::Credit, "5");
    answerNextBox(&asked, QMessageBox::No);
    click("BtnAccept");
    EXPECT_EQ(asked, window->messages().message(kMsgMemoMissing));
    EXPECT_EQ(co.count("crorihdr"), 2);
}

TEST_F(CashReceiptsWindowTest, RefusalsShowTheirMessageAndWriteNothing) {
    open();
    QString shown;
    answerNextBox(&shown);
    type("Edit_client", "NOPE");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    EXPECT_EQ(shown, window->messages().message(kMsgClientNotFound));
    EXPECT_FALSE(shown.isEmpty());

    activate();
    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit_date"));

    // A date that is not one is refused when the field is left by Enter.
    shown.clear();
    answerNextBox(&shown);
    type("Edit_date", "31022026");
    QTest::keyClick(find<QLineEdit>("Edit_date"), Qt::Key_Return);
    QTest::qWait(100);
    EXPECT_EQ(shown, window->messages().message(kMsgDateInvalid));
    activate();
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit_date"));
    type("Edit_date", "15042026");
    QTest::keyClick(find<QLineEdit>("Edit_date"), Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit_reference"));
    EXPECT_EQ(dm->lastDate(), Date::fromYmd(2026, 4, 15));

    typeInCell("DBGrid1", 0, InvoiceGridModel::Payment, "10");
    answerNextBox(&shown);
    click("BtnAccept"); // no reference
    EXPECT_EQ(shown, window->messages().message(kMsgReferenceMissing));

    type("Edit_reference", "R1");
    typeInCell("DBGrid2", 1, LineGridModel::Debit, "11"); // bank 11 against receivables 10
    answerNextBox(&shown);
    click("BtnAccept");
    EXPECT_EQ(shown, window->messages().message(kMsgNotBalanced));

    // An account that is not in the chart is refused in the grid itself.
    answerNextBox(&shown);
    typeInCell("DBGrid2", 2, LineGridModel::Account, QString::number(kNotInChart));
    QTest::qWait(100);
    EXPECT_EQ(shown, window->messages().message(kMsgAccountInvalid));
    EXPECT_EQ(co.count("crorihdr"), 0);
    EXPECT_EQ(co.count("car"), 2);

    click("BtnCancel");
    EXPECT_TRUE(find<QLineEdit>("Edit_client")->isEnabled());
    EXPECT_EQ(find<QTableView>("DBGrid2")->model()->rowCount(), 0);
}

TEST_F(CashReceiptsWindowTest, ChangingThePeriodRenamesTheWindow) {
    forms::Tperiod_frm period;
    open();
    window->setPeriodForm(&period);
    answerNextBox(nullptr, QMessageBox::Ok, [](QWidget* modal) {
        if (auto* dialog = qobject_cast<forms::Tperiod_frm*>(modal)) {
            dialog->edit()->setText("7");
            dialog->accept();
        }
    });
    click("BtnPeriod");
    EXPECT_EQ(dm->period(), 7);
    EXPECT_EQ(window->windowTitle(), window->messages().message(kMsgCaptionPeriod) + "7 : July");
}

TEST_F(CashReceiptsWindowTest, TheWindowSpeaksFrench) {
    language(2);
    open();
    EXPECT_EQ(find<QPushButton>("BtnAccept")->text(), QStringLiteral("Accepter la transaction"));
    EXPECT_EQ(window->messages().message(kMsgClientNotFound), QStringLiteral("Code de client introuvable."));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Encaissements")));
    EXPECT_EQ(find<QTableView>("DBGrid2")->model()->headerData(3, Qt::Horizontal).toString(),
              QStringLiteral("Crédit"));

    // Pictures of the window for a look by eye, when asked for.
    if (const char* dir = std::getenv("VM_SCREENSHOT_DIR")) {
        type("Edit_client", "C1");
        QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
        typeInCell("DBGrid1", 0, InvoiceGridModel::Payment, "500");
        window->grab().save(QString::fromLocal8Bit(dir) + "/cashrcpt-fr.png");
    }
}

// Another workstation holds the client's row: the posting waits with the
// window alive and goes through once the row is let go.
TEST_F(CashReceiptsWindowTest, PostingWaitsForALockedClientRowWithoutFreezingTheWindow) {
    open();
    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    typeInCell("DBGrid1", 0, InvoiceGridModel::Payment, "100");
    type("Edit_reference", "LCK1");

    Session other;
    auto held = std::make_unique<Cursor>(other.database(co.companyDir()), "cli");
    held->findKey({Value("C1")});
    held->edit();
    int ticks = 0;
    QTimer events;
    QObject::connect(&events, &QTimer::timeout, [&] {
        if (++ticks == 5) held->cancel(); // the other workstation lets go
    });
    events.start(100);
    click("BtnAccept");
    events.stop();

    EXPECT_GE(ticks, 5); // the event loop kept turning while the posting waited
    EXPECT_EQ(balance(), units(700));
    EXPECT_EQ(co.count("crorihdr"), 1);
}

// A posting that fails on something other than the database is rolled back
// and said so; the receipt stays on the screen to be posted again.
TEST_F(CashReceiptsWindowTest, APostingFailureThatIsNotAnEngineErrorIsShown) {
    open();
    forms::ModuleErrorHandler handler(window.get(), nullptr);
    window->setErrorHandler(&handler);
    type("Edit_client", "C1");
    QTest::keyClick(find<QLineEdit>("Edit_client"), Qt::Key_Return);
    typeInCell("DBGrid1", 0, InvoiceGridModel::Payment, "100");
    type("Edit_reference", "FAIL1");
    dm->posting().setStageHook([](ReceiptPosting::Stage s) {
        if (s == ReceiptPosting::Stage::Ledger) throw std::runtime_error("disk quota exceeded");
    });
    QString shown;
    answerNextBox(&shown);
    click("BtnAccept");
    EXPECT_EQ(shown, window->messages().message(kMsgPostFailed) + "\n\ndisk quota exceeded");
    EXPECT_EQ(co.count("crorihdr"), 0);
    EXPECT_EQ(balance(), units(800));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(find<QLineEdit>("Edit_reference")->text(), QStringLiteral("FAIL1"));
}

// An engine failure inside a grid edit does not unwind through the item
// view: it reaches the module's hook, which shows it and closes the window.
TEST_F(CashReceiptsWindowTest, AnEngineErrorInAGridEditGoesToTheModulesHook) {
    open();
    forms::ModuleErrorHandler handler(window.get(), nullptr);
    handler.install();
    click("CheckBox_not_client");
    co.db().dropTable("artmp5"); // the distribution's work table is gone
    QString shown;
    answerNextBox(&shown);
    EXPECT_NO_THROW(typeInCell("DBGrid2", 1, LineGridModel::Debit, "25"));
    QTest::qWait(100);
    EXPECT_TRUE(shown.contains(QStringLiteral("Category:"))) << shown.toStdString();
    EXPECT_FALSE(window->isVisible());
}

// The library the shell loads: it shows the window, exits through its Exit
// button, returns -1 and leaves no exception hook behind.
TEST_F(CashReceiptsWindowTest, TheModuleLibraryRunsTheWindowAndCleansUp) {
    app();
    bool sawWindow = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QStringLiteral("Tcashrcpt_frm")) {
            if (auto* exit = modal->findChild<QPushButton*>(QStringLiteral("BtnExit"))) {
                sawWindow = modal->windowTitle().endsWith(QStringLiteral("4 : April"));
                exit->click();
            }
        }
    });
    poll.start(50);
    const core::ModuleRun run = core::ModuleLoader(VM_PROGRAM_DIR).run("cashrcpt", link);
    poll.stop();
    ASSERT_TRUE(run.loaded) << run.errorDetail;
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(sawWindow);
    EXPECT_FALSE(core::currentExceptionHook().isSet());
    EXPECT_TRUE(co.db().tableExists("car_temp5"));
    EXPECT_TRUE(co.db().tableExists("cxtmp5"));
}

} // namespace
