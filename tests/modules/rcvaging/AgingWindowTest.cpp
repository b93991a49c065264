#include "modules/rcvaging/ui/AgingWindow.h"

#include "common/core/LinkStringQt.h"
#include "report/CsvExporter.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "report/ReportListing.h"
#include "report/ReportPreviewDialog.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <fstream>
#include <sstream>

using namespace vm;
using namespace vm::aging;

namespace {

// The window needs an application object; gtest_main makes none.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_aging_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = new QApplication(argc, argv);
    }

private:
    QApplication* app_ = nullptr;
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const Date kDate = Date::fromYmd(2026, 11, 30);

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares with a reference file; VM_UPDATE_GOLDEN=1 writes it instead.
// VM_AGING_PDF=<dir> keeps the pages as PDF, to be looked at.
void keepPdf(const report::ReportDocument& doc, const std::string& name) {
    if (const char* dir = std::getenv("VM_AGING_PDF"))
        report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf,
                                      std::string(dir) + "/" + name);
}

// VM_AGING_PDF=<dir>: the preview of the window's listing as a picture.
void keepPreview(AgingWindow& w, int language, const std::string& name) {
    const char* dir = std::getenv("VM_AGING_PDF");
    if (!dir) return;
    report::ReportPreviewDialog preview(w.streamFactory(), 0, language, &w);
    preview.show();
    QApplication::processEvents();
    preview.grab().save(QString::fromStdString(std::string(dir) + "/" + name));
}

void expectGolden(const std::string& actual, const std::string& name) {
    const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/rcvaging/" + name;
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path) << actual;
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
}

class AgingWindowTest : public vm::test::TempCompanyTest {
protected:
    void SetUp() override {
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        company.setCtrl({{"Ctrl_ar_days1", 30},
                         {"Ctrl_ar_days2", 60},
                         {"Ctrl_ar_days3", 90},
                         {"Ctrl_ar_days4", 120},
                         {"Ctrl_ar_days5", 150},
                         {"Ctrl_ar_dname1", "Current"},
                         {"Ctrl_ar_dname2", "31-60"},
                         {"Ctrl_ar_dname3", "61-90"},
                         {"Ctrl_ar_dname4", "91-120"},
                         {"Ctrl_ar_dname5", "Over 120"},
                         {"Ctrl_curr1_name", ""},
                         {"Ctrl_curr2_name", "US Dollar"},
                         {"Ctrl_curr2_rate", 1.35},
                         {"Ctrl_curr2_sign", "US$"}});
        company.addClient("ABC001", "Boulangerie Tremblay",
                          {{"Cli_tel", "514-555-0101"},
                           {"Cli_current_bal", Money::fromCents(125050)},
                           {"Cli_adr1", "12 rue Principale"},
                           {"Cli_city", "Laval"},
                           {"Cli_prov", "QC"}});
        company.addClient(
            "BRO002", "Brossard Hardware",
            {{"Cli_tel", "450-555-0199"}, {"Cli_current_bal", Money::fromCents(40000)}, {"Cli_currency", 2}});
        company.addClient("ZER003", "Zero Ltd", {{"Cli_current_bal", Money()}});
        company.addCar("ABC001", "10001", "1", kDate.addDays(-95), Money::fromCents(100000));
        company.addCar("ABC001", "10001", "2", kDate.addDays(-20), Money::fromCents(-25000));
        company.addCar("ABC001", "10007", "1", kDate.addDays(-12), Money::fromCents(50050));
        company.addCar("ABC001", "R-77", "4", kDate.addDays(-40), Money::fromCents(-25000));
        company.addCar("BRO002", "10003", "1", kDate.addDays(-61), Money::fromCents(40000));
        company.addCar("ZER003", "10004", "1", kDate.addDays(-5), Money::fromCents(100));
        company.addCar("ZER003", "10004", "2", kDate.addDays(-1), Money::fromCents(-100));

        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Valmorand Test Co");
        link.UserName = core::LinkString("Administrator");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.Language = 1;
        link.LangCode.set("en");
        link.PrinterIndex = core::LinkString("0");
    }

    AgingWindow& open(Ledger ledger = Ledger::Receivables) {
        window = std::make_unique<AgingWindow>(link, ledger);
        window->show();
        QApplication::processEvents();
        window->findChild<QLineEdit*>("EditDate")
            ->setText(QString::fromStdString(std::to_string(kDate.day()) + "/" +
                                             std::to_string(kDate.month()) + "/" +
                                             std::to_string(kDate.year())));
        window->setPrintDateTime(DateTime(kDate, 9 * 3600));
        return *window;
    }

    core::TLinkSection link;
    std::unique_ptr<AgingWindow> window;
};

} // namespace

TEST_F(AgingWindowTest, StartUpFillsTheChoicesFromTheCompany) {
    auto& w = open();
    if (const char* dir = std::getenv("VM_AGING_PDF")) w.grab().save(QString(dir) + "/window-en.png");
    auto* older = w.findChild<QComboBox*>("ComboOlder");
    ASSERT_EQ(older->count(), 6);
    EXPECT_EQ(older->itemText(0), "Current");
    EXPECT_EQ(older->itemText(5), "All");
    EXPECT_EQ(older->currentIndex(), 5);
    // Currency 1 has no name: the lists skip it, and the entry of US Dollar
    // stands for currency 2.
    auto* print = w.findChild<QComboBox*>("ComboCurrency");
    ASSERT_EQ(print->count(), 3);
    EXPECT_EQ(print->itemText(2), "US Dollar");
    print->setCurrentIndex(2);
    EXPECT_EQ(w.options().printCurrency, 2);
    EXPECT_EQ(w.options().reportDate, kDate);
}

TEST_F(AgingWindowTest, SwitchesDisableWhatNoLongerApplies) {
    auto& w = open();
    auto* zero = w.findChild<QCheckBox*>("CheckZero");
    auto* history = w.findChild<QCheckBox*>("CheckHistory");
    auto* address = w.findChild<QCheckBox*>("CheckAddress");
    auto* detailed = w.findChild<QCheckBox*>("CheckDetailed");
    zero->setChecked(true);
    history->setChecked(true);
    EXPECT_FALSE(zero->isChecked());
    EXPECT_FALSE(zero->isEnabled());
    history->setChecked(false);
    EXPECT_TRUE(zero->isEnabled());
    address->setChecked(true);
    detailed->setChecked(false);
    EXPECT_FALSE(address->isChecked());
    EXPECT_FALSE(address->isEnabled());
}

TEST_F(AgingWindowTest, AnInvertedRangeIsCleared) {
    auto& w = open();
    auto* from = w.findChild<QLineEdit*>("EditFrom");
    auto* to = w.findChild<QLineEdit*>("EditTo");
    from->setText("ZZZ");
    to->setText("AAA");
    EXPECT_TRUE(w.clearInvertedRange());
    EXPECT_TRUE(from->text().isEmpty());
    EXPECT_TRUE(to->text().isEmpty());
    from->setText("A");
    to->setText("");
    EXPECT_FALSE(w.clearInvertedRange());
}

TEST_F(AgingWindowTest, DetailedAndSummaryListingsMatchTheirReferences) {
    auto& w = open();
    w.findChild<QCheckBox*>("CheckAddress")->setChecked(true);
    report::ReportDocument detail = w.layOut();
    keepPdf(detail, "detail-en.pdf");
    keepPreview(w, 1, "preview-en.png");
    expectGolden(report::ReportListing::text(detail), "detail.listing");
    expectGolden(report::CsvExporter::text(detail), "detail.csv");
    w.findChild<QCheckBox*>("CheckDetailed")->setChecked(false);
    report::ReportDocument summary = w.layOut();
    keepPdf(summary, "summary-en.pdf");
    expectGolden(report::ReportListing::text(summary), "summary.listing");
    expectGolden(report::CsvExporter::text(summary), "summary.csv");
}

TEST_F(AgingWindowTest, FrenchSessionPrintsFrenchHeadings) {
    link.Language = 2;
    link.LangCode.set("fr");
    auto& w = open();
    w.findChild<QCheckBox*>("CheckComments")->setChecked(true);
    report::ReportDocument doc = w.layOut();
    keepPdf(doc, "detail-fr.pdf");
    keepPreview(w, 2, "preview-fr.png");
    QPixmap shot = w.grab();
    if (const char* dir = std::getenv("VM_AGING_PDF")) shot.save(QString(dir) + "/window-fr.png");
    const std::string listing = report::ReportListing::text(doc);
    EXPECT_NE(listing.find("Âge des comptes clients"), std::string::npos);
    EXPECT_NE(listing.find("Échéance"), std::string::npos);
    EXPECT_NE(listing.find("Fact."), std::string::npos) << listing.substr(listing.find("summary"));
}

// Canadian and US dollars are never added together: without conversion the
// report total is one line per currency (pinned by the reference listings);
// converted, it is one total.
TEST_F(AgingWindowTest, ConvertedReportHasOneTotal) {
    auto& w = open();
    w.findChild<QComboBox*>("ComboConvert")->setCurrentIndex(1); // Default
    const std::string listing = report::ReportListing::text(w.layOut());
    EXPECT_EQ(listing.find("QRTotalCaptions"), std::string::npos);
    EXPECT_NE(listing.find("summary|QRTotalAmount|316.00|246.00|62.00|12.00|R|8.00B|$1,540.50\n"),
              std::string::npos);
}

// Enter moves on from every entry field, and the title names the ledger.
TEST_F(AgingWindowTest, EnterMovesOnAndTheTitleNamesTheLedger) {
    for (Ledger ledger : {Ledger::Receivables, Ledger::Payables}) {
        auto& w = open(ledger);
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_EQ(w.windowTitle(),
                  ledger == Ledger::Receivables ? "Aging of client accounts" : "Aging of supplier accounts");
        for (const char* name : {"EditDate", "EditFrom", "EditTo", "EditTerritory", "ComboConvert",
                                 "ComboCurrency", "ComboOlder", "CheckDetailed", "CheckZero"}) {
            auto* field = w.findChild<QWidget*>(name);
            if (!field || !field->isVisible()) continue; // no territory for suppliers
            field->setFocus();
            QApplication::processEvents();
            ASSERT_EQ(QApplication::focusWidget(), field) << name;
            QTest::keyClick(field, Qt::Key_Return);
            EXPECT_NE(QApplication::focusWidget(), field) << name;
            EXPECT_TRUE(w.isVisible()) << name;
        }
    }
}
