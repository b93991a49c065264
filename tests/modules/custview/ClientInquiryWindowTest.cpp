#include "modules/custview/ui/Tcustview_frm.h"

#include "common/core/LinkStringQt.h"
#include "report/ReportExporter.h"
#include "report/ReportPreviewDialog.h"
#include "tests/fixture/TempCompany.h"
#include "tools/DemoCompany.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <set>

using namespace vm;
using namespace vm::custview;

namespace {

// The window needs an application object; gtest_main makes none.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_custview_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class ClientInquiryWindowTest : public vm::test::TempCompanyTest {
protected:
    void SetUp() override {
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        const Date d = Date::fromYmd(2026, 11, 2);
        company.addClient("ABC001", "Boulangerie Tremblay", {{"Cli_city", "Laval"}});
        company.addClient("BRO002", "Brossard Hardware", {{"Cli_city", "Brossard"}});
        company.addCar("BRO002", "10003", "1", d, Money::fromUnits(500));
        company.addCar("BRO002", "10003", "2", d.addDays(10), Money::fromUnits(-200), {{"Car_ref", "CHQ1"}});
        company.addRow("fahdr", {{"Fahdr_doc", "1"}, {"Fahdr_invoice", "10003"}});
        company.addRow("crorihdr", {{"Reference", "CHQ1"}, {"Client", "BRO002"}, {"Date", d.addDays(10)}});
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Valmorand Test Co");
        link.UserName = core::LinkString("Administrator");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.Language = 1;
        link.LangCode.set("en");
        link.SessionId = 3;
    }
    core::TLinkSection link;
};

TEST_F(ClientInquiryWindowTest, SearchStatementAndDrillDown) {
    Tcustview_frm w(link);
    w.resize(1366, 768);
    w.show();
    QApplication::processEvents();
    auto* grid = w.findChild<QTableView*>("GridClients");
    ASSERT_EQ(grid->model()->rowCount(), 2);

    w.findChild<QComboBox*>("ComboField")->setCurrentIndex(1);
    w.findChild<QComboBox*>("ComboOperator")->setCurrentIndex(4);
    QTest::keyClicks(w.findChild<QLineEdit*>("EditParameter"), "ssard");
    QTest::mouseClick(w.findChild<QPushButton*>("BtnRefresh"), Qt::LeftButton);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(w.currentClient(), "BRO002");
    EXPECT_EQ(w.findChild<QLineEdit*>("EditCity")->text(), "Brossard");

    auto* pages = w.findChild<QTabWidget*>("PageControl1");
    pages->setCurrentWidget(w.findChild<QWidget*>("TabStatement"));
    auto* statement = w.findChild<QTableView*>("GridStatement")->model();
    ASSERT_EQ(statement->rowCount(), 2);
    EXPECT_EQ(statement->index(0, 3).data().toString(), "Invoice");
    EXPECT_EQ(statement->index(1, 3).data().toString(), "Payment");
    EXPECT_EQ(w.drillDown(0).kind, DocumentChoice::Kind::CurrentInvoice);
    auto* preview = w.findChild<report::ReportPreviewDialog*>("DocumentPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), "Invoice 10003");
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.drillDown(1).kind, DocumentChoice::Kind::CashReceipt);
    if (const char* dir = std::getenv("VM_CUSTVIEW_PNG")) w.grab().save(QString(dir) + "/statement-en.png");

    // Both rows date from November: their 300 falls in one bucket.
    pages->setCurrentWidget(w.findChild<QWidget*>("TabGraph"));
    const QString buckets = w.findChild<QLabel*>("LabelBucket1")->text() +
                            w.findChild<QLabel*>("LabelBucket2")->text() +
                            w.findChild<QLabel*>("LabelBucket3")->text();
    EXPECT_TRUE(buckets.contains("$300.00")) << buckets.toStdString();

    // A date that is not one is refused and the list stays as it was.
    w.findChild<QComboBox*>("ComboField")->setCurrentIndex(22);
    w.findChild<QComboBox*>("ComboOperator")->setCurrentIndex(2);
    w.findChild<QLineEdit*>("EditParameter")->setText("31/02/2026");
    w.refreshList();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    auto* box = w.findChild<QMessageBox*>("MessageBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("31/02/2026"));
}

// The demo company in both languages: a row of each kind drills down to
// its document in a preview. VM_CUSTVIEW_PNG=<dir> keeps every page of the
// window and of each preview as pictures, and each document as a PDF.
TEST_F(ClientInquiryWindowTest, DemoRowsOpenTheirDocuments) {
    vm::test::TempCompany demoCompany;
    admin::DemoOptions demo;
    demo.clients = 8;
    demo.suppliers = 1;
    demo.invoices = 60;
    admin::buildDemoCompany(demoCompany.dataDir(), demo);
    link.DataDir = core::LinkString(demoCompany.dataDir());
    const char* dir = std::getenv("VM_CUSTVIEW_PNG");
    for (int language : {1, 2}) {
        link.Language = language;
        link.LangCode.set(language == 1 ? "en" : "fr");
        const QString suffix = language == 1 ? "-en" : "-fr";
        Tcustview_frm w(link);
        w.resize(1100, 700);
        w.show();
        QApplication::processEvents();
        auto* pages = w.findChild<QTabWidget*>("PageControl1");
        auto* grid = w.findChild<QTableView*>("GridClients");
        ASSERT_GT(grid->model()->rowCount(), 0);
        // The first client with the most kinds of rows.
        std::set<DocumentChoice::Kind> seen;
        for (int c = 0; c < grid->model()->rowCount() && seen.size() < 4; ++c) {
            grid->selectRow(c);
            pages->setCurrentWidget(w.findChild<QWidget*>("TabStatement"));
            auto* statement = w.findChild<QTableView*>("GridStatement")->model();
            for (int r = 0; r < statement->rowCount(); ++r) {
                const DocumentChoice d = w.drillDown(r);
                ASSERT_NE(d.kind, DocumentChoice::Kind::None);
                auto* preview = w.findChild<report::ReportPreviewDialog*>("DocumentPreview");
                ASSERT_NE(preview, nullptr);
                if (!seen.insert(d.kind).second) {
                    preview->close();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    continue;
                }
                preview->finishCounting();
                EXPECT_GE(preview->pageCount(), 1);
                const QString name = QString("document%1%2").arg(static_cast<int>(d.kind)).arg(suffix);
                if (dir) {
                    QApplication::processEvents();
                    preview->grab().save(QString(dir) + "/" + name + ".png");
                    auto f = documentStream(demoCompany.db(), &demoCompany.dataRoot(), d,
                                            w.documentSetup(preview->windowTitle()));
                    auto stream = (*f)();
                    report::ReportExporter::write(*stream, report::ReportExporter::Format::Pdf,
                                                  (QString(dir) + "/" + name + ".pdf").toStdString());
                }
                preview->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        }
        EXPECT_EQ(seen.size(), 4u);
        if (dir)
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                QApplication::processEvents();
                w.grab().save(QString(dir) + QString("/page%1%2.png").arg(i).arg(suffix));
            }
        // The history of the first client, which the demo keeps.
        grid->selectRow(0);
        pages->setCurrentWidget(w.findChild<QWidget*>("TabStatement"));
        w.findChild<QCheckBox*>("CheckCurrent")->setChecked(false);
        EXPECT_GT(w.findChild<QTableView*>("GridStatement")->model()->rowCount(), 0);
        if (dir) w.grab().save(QString(dir) + "/history" + suffix + ".png");
    }
}

} // namespace
