#include "modules/chqissue/ui/Tchqissue_frm.h"

#include "common/core/LinkStringQt.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstdlib>

using namespace vm;
using namespace vm::chqissue;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "chqissue_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QApplication(argc, argv);
    return *instance;
}

// Presses OK on the next message box and keeps its text.
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

// VM_CHQ_LOOK=<dir> keeps the window as PNG and the report as PDF.
void keep(QWidget& w, const report::ReportDocument& doc, const std::string& lang) {
    if (const char* dir = std::getenv("VM_CHQ_LOOK")) {
        w.grab().save(QString(dir) + "/window-" + QString::fromStdString(lang) + ".png");
        report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf,
                                      std::string(dir) + "/list-" + lang + ".pdf");
    }
}

class ChequeIssueWindowTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        app();
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        company.addAccount(1000, "Bank - Canadian");
        company.addAccount(1010, "Bank - US");
        company.setCtrl({{"Ctrl_bank_accnt1", 1000}, {"Ctrl_bank_accnt2", 1010}, {"Ctrl_curr1_sign", "U$"}});
        company.addSupplier("ACME", "Acme Supplies", {{"Sup_bank_account", 1000}});
        company.addSupplier("YANK", "Yankee Steel", {{"Sup_bank_account", 1010}, {"Sup_currency", 1}});
        for (const char* s : {"ACME", "YANK"})
            company.addCap(s, "I-1", "1", Date::fromYmd(2026, 3, 1), Money::fromCents(123456),
                           {{"Cap_du_date", Date::fromYmd(2026, 3, 31)}});
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Valmorand Test Co");
        link.UserName = core::LinkString("Administrator");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.Language = 1;
        link.LangCode.set("en");
        link.PrinterIndex = core::LinkString("0");
    }

    Tchqissue_frm& open() {
        window = std::make_unique<Tchqissue_frm>(link);
        window->show();
        QApplication::processEvents();
        window->findChild<QLineEdit*>("EditPrintDate")->setText("10/03/2026");
        window->findChild<QLineEdit*>("EditDueDate")->setText("31/03/2026");
        window->setPrintDateTime(DateTime(Date::fromYmd(2026, 3, 10), 9 * 3600));
        return *window;
    }

    core::TLinkSection link;
    std::unique_ptr<Tchqissue_frm> window;
};

// The bank list, the recurring box that follows "create a new list", the
// warning when a list exists, and a list built and reported for the chosen
// bank in the session's language.
TEST_F(ChequeIssueWindowTest, BuildsTheListOfTheChosenBankAndWarnsBeforeReplacingIt) {
    for (const char* lang : {"en", "fr"}) {
        link.Language = lang[0] == 'e' ? 1 : 2;
        link.LangCode.set(lang);
        auto& w = open();
        auto* bank = w.findChild<QComboBox*>("ComboBank");
        auto* newList = w.findChild<QCheckBox*>("CheckNewList");
        auto* recurring = w.findChild<QCheckBox*>("CheckRecurring");
        ASSERT_EQ(bank->count(), 2);
        EXPECT_FALSE(recurring->isEnabled());
        QString warning;
        if (link.Language == 2) answerNextBox(&warning); // the English run left a list
        newList->setChecked(true);
        EXPECT_TRUE(recurring->isEnabled());
        EXPECT_EQ(warning.isEmpty(), link.Language == 1);
        bank->setCurrentIndex(1);
        ASSERT_TRUE(w.buildListIfAsked());
        Cursor h(company.db(), "apchqh", true);
        ASSERT_TRUE(h.first());
        EXPECT_EQ(h.str("Apchqh_fou"), "YANK");
        EXPECT_EQ(h.str("Apchqh_desc").substr(0, 5), link.Language == 1 ? " One " : " Mill");
        const report::ReportDocument doc = w.layOut();
        bool symbol = false;
        const std::string amount = link.Language == 1 ? "U$1,234.56" : "U$1 234,56";
        for (const auto& item : doc.pages.at(0).items)
            symbol = symbol || item.text.rfind(amount, 0) == 0;
        EXPECT_TRUE(symbol) << "amounts in the bank's currency";
        keep(w, doc, lang);
    }
}

} // namespace
