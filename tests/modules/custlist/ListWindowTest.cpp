#include "modules/custlist/ui/ListWindow.h"

#include "common/core/LinkStringQt.h"
#include "common/core/ModuleLoader.h"
#include "common/core/RegionalSettings.h"
#include "report/CsvExporter.h"
#include "report/ExportDialog.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "report/ReportListing.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vm;
using namespace vm::lists;

namespace {

// The window needs an application object; gtest_main makes none.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_list_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const Date kDate = Date::fromYmd(2026, 12, 8);

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares with a reference file; VM_UPDATE_GOLDEN=1 writes it instead.
// VM_LIST_PDF=<dir> keeps the pages as PDF and the windows as PNG.
void expectGolden(const std::string& actual, const std::string& name) {
    const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/lists/" + name;
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path) << actual;
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
}
void keep(const report::ReportDocument& doc, QWidget& window, const std::string& name) {
    if (const char* dir = std::getenv("VM_LIST_PDF")) {
        report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf,
                                      std::string(dir) + "/" + name + ".pdf");
        window.grab().save(QString(dir) + "/" + QString::fromStdString(name) + ".png");
    }
}

// Answers the export dialog the window is about to show.
void answerExport(const QString& file) {
    QTimer::singleShot(0, [file] {
        auto* dialog = qobject_cast<report::ExportDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setFormat(file.endsWith(".csv") ? report::ReportExporter::Format::Csv
                                                : report::ReportExporter::Format::Text);
        dialog->setFilePath(file);
        dialog->setConfirmOverwrite(false);
        dialog->accept();
    });
}

class ListWindowTest : public vm::test::TempCompanyTest {
protected:
    void SetUp() override {
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        core::RegionalSettings::setCurrent(core::RegionalSettings());
        company.addClient("ABC001", "Boulangerie Tremblay",
                          {{"Cli_adr1", "12 rue Principale"},
                           {"Cli_city", "Laval"},
                           {"Cli_prov", "QC"},
                           {"Cli_country", "Canada"},
                           {"Cli_postal_code", "H7N 1A1"},
                           {"Cli_tel", "514-555-0101"},
                           {"Cli_ship_via", "Purolator"},
                           {"Cli_tax_fed", true},
                           {"Cli_terr", "EBQ"},
                           {"Cli_salesrep", "S2"},
                           {"Cli_charge_to", "ABC001"},
                           {"Cli_date_created", Date::fromYmd(2024, 3, 1)},
                           {"Cli_date_last_sale", Date::fromYmd(2026, 11, 20)},
                           {"Cli_date_last_pmt", Date::fromYmd(2026, 12, 1)},
                           {"Cli_credit_limit", 15000},
                           {"Cli_discount", 2.5}});
        company.addClient("BRO002", "Brossard Hardware",
                          {{"Cli_tel", "450-555-0199"},
                           {"Cli_tax_pro", true},
                           {"Cli_terr", "WBO"},
                           {"Cli_salesrep", "S1"},
                           {"Cli_date_created", Date::fromYmd(2025, 6, 15)}});
        company.addClient("CAR003", "Carrefour Dubé", {{"Cli_terr", "EXX"}});
        company.addSupplier("PAP01", "Papeterie Lavoie",
                            {{"Sup_adr1", "4 boul. Taschereau"},
                             {"Sup_city", "Longueuil"},
                             {"Sup_tel", "450-555-0144"},
                             {"Sup_contact", "Marie Lavoie"},
                             {"Sup_terr", "EST"},
                             {"Sup_date_created", Date::fromYmd(2023, 1, 9)},
                             {"Sup_date_last_purch", Date::fromYmd(2026, 11, 2)},
                             {"Sup_credit_limit", 5000},
                             {"Sup_pmt_discount", 2.0},
                             {"Sup_purch_discount", 1.5},
                             {"Sup_current_bal", Money::fromCents(123456)},
                             {"Sup_purch_ytd", Money::fromCents(987650)},
                             {"Sup_purch_mth", Money::fromCents(12000)}});
        company.addSupplier("QUI02", "Quincaillerie Roy", {{"Sup_terr", "WST"}});

        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Valmorand Test Co");
        link.UserName = core::LinkString("Administrator");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.Language = 1;
        link.LangCode.set("en");
        link.PrinterIndex = core::LinkString("0");
    }

    ListWindow& open(Master master) {
        window = std::make_unique<ListWindow>(link, master);
        window->show();
        QApplication::processEvents();
        window->setPrintDateTime(DateTime(kDate, 9 * 3600));
        return *window;
    }
    QLineEdit* edit(const char* name) { return window->findChild<QLineEdit*>(name); }
    void check(const char* text) {
        for (auto* r : window->findChildren<QRadioButton*>())
            if (r->text() == text) r->setChecked(true);
    }

    core::TLinkSection link;
    std::unique_ptr<ListWindow> window;
};

} // namespace

TEST_F(ListWindowTest, ClientWindowMovesBetweenFieldsAndClosesOnlyAfterAnExport) {
    auto& w = open(Master::Clients);
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit("EditFromCode"));
    QTest::keyClick(edit("EditFromCode"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditToCode"));
    QTest::keyClick(edit("EditToCode"), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditFromRep"));
    QTest::keyClick(edit("EditFromRep"), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditToCode"));
    QTest::keyClicks(edit("EditToCode"), "BRO002");
    QTest::keyClicks(edit("EditTerritory"), "?B");
    check("Salesrep");
    const ListOptions o = w.options();
    EXPECT_EQ(o.toCode, "BRO002");
    EXPECT_EQ(o.territory, "?B");
    EXPECT_EQ(o.order, ListOrder::Salesrep);

    answerExport({}); // cancelled: the window stays
    QTest::mouseClick(w.findChild<QPushButton*>("BtnExport"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.findChild<QPushButton*>("BtnExport")->isEnabled());

    const std::string file = company.rootDir() + "/clients.csv";
    answerExport(QString::fromStdString(file));
    QTest::mouseClick(w.findChild<QPushButton*>("BtnExport"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const std::string csv = readFile(file);
    // Salesrep order, second territory letter B, up to BRO002.
    EXPECT_LT(csv.find("BRO002"), csv.find("ABC001"));
    EXPECT_EQ(csv.find("CAR003"), std::string::npos);
}

TEST_F(ListWindowTest, SupplierWindowHasNoSalesrepChoicesAndExports) {
    auto& w = open(Master::Suppliers);
    EXPECT_EQ(edit("EditFromRep"), nullptr);
    EXPECT_EQ(w.findChild<QWidget*>("RadioOrder"), nullptr);
    QTest::keyClicks(edit("EditFromCode"), "PAP01");
    QTest::keyClick(edit("EditFromCode"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditToCode"));
    QTest::keyClick(edit("EditToCode"), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditTerritory"));
    QTest::keyClicks(edit("EditTerritory"), "W");
    const std::string file = company.rootDir() + "/suppliers.txt";
    answerExport(QString::fromStdString(file));
    QTest::mouseClick(w.findChild<QPushButton*>("BtnExport"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    const std::string text = readFile(file);
    EXPECT_NE(text.find("QUI02"), std::string::npos);
    EXPECT_EQ(text.find("PAP01"), std::string::npos);
}

TEST_F(ListWindowTest, FourListsMatchTheirReferences) {
    for (Master m : {Master::Clients, Master::Suppliers}) {
        auto& w = open(m);
        const std::string who = m == Master::Clients ? "clients" : "suppliers";
        report::ReportDocument detail = w.layOut();
        keep(detail, w, who + "-detail-en");
        expectGolden(report::ReportListing::text(detail), who + "-detail.listing");
        expectGolden(report::CsvExporter::text(detail), who + "-detail.csv");
        check("Summary");
        report::ReportDocument summary = w.layOut();
        keep(summary, w, who + "-summary-en");
        expectGolden(report::ReportListing::text(summary), who + "-summary.listing");
        expectGolden(report::CsvExporter::text(summary), who + "-summary.csv");
    }
}

TEST_F(ListWindowTest, InternationalSettingNumbersTheTaxTitlesInTheSessionLanguage) {
    core::RegionalSettings intl;
    intl.intl = "y";
    intl.dateFormat = "YYYY/MM/DD"; // dates follow the workstation's format
    core::RegionalSettings::setCurrent(intl);
    link.Language = 2;
    link.LangCode.set("fr");
    auto& w = open(Master::Clients);
    report::ReportDocument doc = w.layOut();
    keep(doc, w, "clients-detail-fr");
    const std::string listing = report::ReportListing::text(doc);
    EXPECT_NE(listing.find("|Liste des clients"), std::string::npos);
    EXPECT_NE(listing.find("|Taxe 2"), std::string::npos);
    EXPECT_NE(listing.find("|Taxe 1"), std::string::npos);
    EXPECT_EQ(listing.find("Provinciale"), std::string::npos);
    EXPECT_EQ(listing.find("Fédérale"), std::string::npos);
    EXPECT_NE(listing.find("|2024/03/01"), std::string::npos);
    if (std::getenv("VM_LIST_PDF")) {
        check("Sommaire");
        keep(w.layOut(), w, "clients-summary-fr");
        auto& v = open(Master::Suppliers);
        keep(v.layOut(), v, "suppliers-detail-fr");
    }
}

TEST_F(ListWindowTest, BothLibrariesShowTheirWindowAndCloseOnExit) {
    link.Language = 2;
    link.LangCode.set("fr");
    for (auto [library, form, title] : {std::tuple{"custlist", "Tcustlist_frm", "Liste des clients"},
                                        std::tuple{"vendlist", "Tvendlist_frm", "Liste des fournisseurs"}}) {
        bool seen = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&, form = form, title = title] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == form && top->isVisible() && top->windowTitle() == title) {
                    seen = true;
                    top->findChild<QPushButton*>("BtnExit")->click();
                }
        });
        closer.start(50);
        const core::ModuleRun run = core::ModuleLoader(VM_PROGRAM_DIR).run(library, link);
        EXPECT_TRUE(run.loaded) << run.errorDetail;
        EXPECT_EQ(run.result, -1);
        EXPECT_TRUE(seen) << library;
    }
}
