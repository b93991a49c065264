#include "modules/chqedit/ui/LineGridModel.h"
#include "modules/chqedit/ui/Tchqedit_dm.h"
#include "modules/chqedit/ui/Tchqedit_frm.h"

#include "common/core/LinkStringQt.h"
#include "common/forms/MessageList.h"
#include "engine/Cursor.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstdlib>

using namespace vm;
using namespace vm::chqedit;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "chqedit_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QApplication(argc, argv);
    return *instance;
}

// Presses the first button of the next message box and keeps its text.
void answerNextBox(QString* text) {
    auto* timer = new QTimer(&app());
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->text();
            timer->stop();
            timer->deleteLater();
            box->buttons().front()->click();
        }
    });
    timer->start(20);
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// VM_CHQ_LOOK=<dir> keeps each window as a PNG.
void keep(QWidget& w, const QString& name) {
    if (const char* dir = std::getenv("VM_CHQ_LOOK")) w.grab().save(QString(dir) + "/" + name + ".png");
}

class ChequeEntryWindowTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        app();
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        company.addAccount(1000, "Bank - Canadian");
        company.addAccount(2100, "Accounts payable");
        company.addAccount(5100, "Discounts earned");
        company.addAccount(5200, "Rent");
        company.setCtrl({{"Ctrl_bank_accnt1", 1000},
                         {"Ctrl_ap_accnt", 2100},
                         {"Ctrl_ap_disb_accnt2", 5100},
                         {"Ctrl_ap_disb_accnt3", 5200},
                         {"Ctrl_dollars1", "Dollars"},
                         {"Ctrl_cents1", "Cents"}});
        company.addSupplier("ACME", "Acme Supplies", {{"Sup_bank_account", 1000}, {"Sup_city", "Laval"}});
        company.addCap("ACME", "A-1", "1", Date::fromYmd(2026, 3, 1), Money::fromUnits(100),
                       {{"Cap_du_date", Date::fromYmd(2026, 3, 31)}});
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Valmorand Test Co");
        link.UserName = core::LinkString("Administrator");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.SessionId = 3;
        language("en");
    }

    void language(const char* code) {
        link.Language = code[0] == 'e' ? 1 : 2;
        link.LangCode.set(code);
    }

    Tchqedit_frm& open(ChequeBook book) {
        window.reset();
        dm = std::make_unique<Tchqedit_dm>(book);
        window = std::make_unique<Tchqedit_frm>(link, *dm);
        window->show();
        settle();
        return *window;
    }

    void trigger(forms::RecordNavigator::Action a) {
        window->navigator().trigger(a);
        settle();
    }

    // Types into a cell as the grid's editor would.
    void typeCell(int row, int column, const QString& text) {
        LineGridModel& m = window->lines();
        m.setData(m.index(row, column), text, Qt::EditRole);
        settle();
    }

    std::int64_t stored(const char* table) {
        Cursor c(company.db(), table, true);
        return c.recordCount();
    }

    void TearDown() override {
        if (window) window->quit();
        window.reset();
        dm.reset();
    }

    core::TLinkSection link;
    std::unique_ptr<Tchqedit_dm> dm;
    std::unique_ptr<Tchqedit_frm> window;
};

// A supplier's cheque made in the window: the supplier's address, an invoice
// from the list of invoices, the amount in words; stored with its line.
// Changing it and cancelling brings the stored lines back.
TEST_F(ChequeEntryWindowTest, EntryIsMadeFromTheListOfInvoicesAndCancelRestoresItsLines) {
    for (const char* lang : {"en", "fr"}) {
        language(lang);
        auto& w = open(ChequeBook::Entries);
        trigger(forms::RecordNavigator::Insert);
        auto* supplier = w.findChild<QLineEdit*>("EditSupplier");
        supplier->setText("ACME");
        emit supplier->returnPressed();
        settle();
        EXPECT_EQ(w.findChild<QLineEdit*>("EditCity")->text(), "Laval");
        // The list itself, closed without a choice: nothing is added.
        QTimer::singleShot(50, [lang] {
            if (auto* list = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                keep(*list, QString("invoices-") + lang);
                list->findChild<QPushButton*>("BtnClose")->click();
            }
        });
        w.showInvoiceList();
        EXPECT_EQ(w.lines().lineRows(), 0);
        w.showInvoiceList("A-1");
        settle();
        EXPECT_EQ(w.lines().lineRows(), 1);
        EXPECT_FALSE(w.findChild<QLineEdit*>("EditDesc")->text().isEmpty());
        EXPECT_TRUE(supplier->isReadOnly()); // an entry with lines keeps its supplier
        keep(w, QString("chqedit-") + lang);
        trigger(forms::RecordNavigator::Post);
        ASSERT_EQ(stored("apchqd"), lang[0] == 'e' ? 1 : 2);

        trigger(forms::RecordNavigator::Edit);
        w.grid().setCurrentIndex(w.lines().index(0, LineGridModel::Invoice));
        w.deleteCurrentLine();
        EXPECT_EQ(w.lines().lineRows(), 0);
        trigger(forms::RecordNavigator::Cancel);
        EXPECT_EQ(w.lines().lineRows(), 1);
        w.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        settle();
        keep(w, QString("chqedit-dist-") + lang);
        w.quit();
    }
}

// A template: a negative amount is refused with message 13; the first store
// shows the distribution with the lines on slot 4, the second stores it.
TEST_F(ChequeEntryWindowTest, TemplateIsStoredAfterItsDistributionIsShown) {
    for (const char* lang : {"en", "fr"}) {
        language(lang);
        auto& w = open(ChequeBook::Recurring);
        trigger(forms::RecordNavigator::Insert);
        typeCell(0, LineGridModel::Invoice, "LEASE");
        ASSERT_EQ(w.lines().lineRows(), 1);
        QString text;
        answerNextBox(&text);
        typeCell(0, LineGridModel::Amount, "-5");
        EXPECT_EQ(text, w.messages().message(kMsgNegativeAmount));
        typeCell(0, LineGridModel::Amount, "100");
        trigger(forms::RecordNavigator::Post);
        auto* pages = w.findChild<QTabWidget*>("PageControl1");
        EXPECT_EQ(pages->currentIndex(), Tchqedit_frm::DistributionPage);
        EXPECT_EQ(stored("recchqh"), lang[0] == 'e' ? 0 : 1);
        keep(w, QString("chqrecur-") + lang);
        trigger(forms::RecordNavigator::Post);
        EXPECT_EQ(stored("recchqh"), lang[0] == 'e' ? 1 : 2);
        EXPECT_EQ(stored("recchqd"), lang[0] == 'e' ? 1 : 2);
        EXPECT_EQ(pages->currentIndex(), Tchqedit_frm::GeneralPage);
        w.quit();
    }
}

} // namespace
