#include "modules/custstmt/core/StatementReport.h"

#include "report/CsvExporter.h"
#include "report/PdfExporter.h"
#include "report/ReportListing.h"
#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace vm;
using namespace vm::custstmt;

namespace {

const Date kAt = Date::fromYmd(2026, 6, 30);

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class StatementReportTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        company.setCtrl(
            {{"Ctrl_ar_days1", 30}, {"Ctrl_ar_days2", 60}, {"Ctrl_ar_days3", 90}, {"Ctrl_ar_days4", 120}});
        for (const char* t : {"arecfrm", "arecfrm1", "arecfrm2"})
            company.clearTable(t); // this test's layout instead of the standard one
        company.addRow("arecfrm1", {{"Arecfrm1_page_len", 11.0},
                                    {"Arecfrm1_page_width", 8.5},
                                    {"Arecfrm1_header_len", 3.0},
                                    {"Arecfrm1_detail_len", 1.0},
                                    {"Arecfrm1_footer_len", 1.5}});
        auto item = [&](const std::string& field, const std::string& band, double line, double pos) {
            company.addRow("arecfrm", {{"Arecfrm_field", field},
                                       {"Arecfrm_band", band},
                                       {"Arecfrm_line", line},
                                       {"Arecfrm_pos", pos}});
        };
        item("01", "Header", 0.5, 0.5);
        item("STATEMENT", "H", 0.5, 5.5);
        item("09", "h", 1.5, 0.5);
        item("16", "H", 0.8, 5.5);
        item("34", "H", 1.0, 5.5);
        item("~", "D", 0.1, 7.0); // the logo: no logo list, nothing prints
        item("18", "Detail", 9.9, 0.5);
        item("19", "D", 0, 1.5);
        item("20", "D", 0, 3.0);
        item("21", "D", 0, 4.2);
        item("23", "D", 0, 5.4);
        item("40", "D", 0, 6.5); // no such field: nothing prints
        item("26", "Footer", 0.2, 0.5);
        item("30", "F", 0.2, 4.5);
        item("31", "B", 0.6, 5.4);
        company.addRow("arecfrm2", {{"Index", 2}, {"Style", 1}, {"Size", 14}, {"Width", 0}});
        company.addRow("arecfrm2", {{"Index", 9}, {"Style", 0}, {"Size", 8}, {"Width", 96}});
    }
};

// Two clients, the first with more lines than its detail area holds: a new
// page per client, the header on every page with the client's own page
// number, the footer once after the client's last line.
TEST_F(StatementReportTest, DrawnItemsOfASmallCompany) {
    company.addClient("C1", "Première Cie");
    company.addClient("C2", "Second Ltd");
    for (int i = 0; i < 7; ++i)
        company.addCar("C1", "I" + std::to_string(i), "1", kAt.addDays(-10 - 20 * i),
                       Money::fromUnits(10 + i));
    company.addCar("C1", "I0", "2", kAt.addDays(-2), Money::fromUnits(-4));
    StatementReportSetup s;
    s.options.printDate = kAt;
    s.options.today = kAt;
    s.companyDir = company.companyDir();
    s.company.name = "Acme";
    const report::ReportDocument doc = layOutStatements(company.db(), s);
    if (const char* dir = std::getenv("VM_CUSTSTMT_PDF")) { // to be looked at
        static int argc = 1;
        static char name[] = "vm_custstmt_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
        report::PdfExporter::write(doc, std::string(dir) + "/statements.pdf");
    }
    const std::string actual = report::ReportListing::text(doc);
    const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/custstmt/statement.listing";
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path) << actual;
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
}

// The CSV export holds every transaction line and every client's totals, each
// naming its client (the printed header exports nothing).
TEST_F(StatementReportTest, CsvExportNamesTheClientOfEveryLine) {
    company.addClient("C1", "Première Cie");
    company.addClient("C2", "Second Ltd");
    company.addCar("C1", "I1", "1", kAt.addDays(-10), Money::fromUnits(25));
    company.addCar("C1", "I1", "2", kAt.addDays(-2), Money::fromUnits(-4));
    StatementReportSetup s;
    s.options.printDate = s.options.today = kAt;
    const std::string csv = report::CsvExporter::text(layOutStatements(company.db(), s));
    EXPECT_EQ(csv,
              "Cli_Code,Cli_name,Car_date,Car_Invoice,Car_Debit,Car_credit,Car_Balance,curr_1,curr_5,Curr_6\n"
              "C1,Première Cie,20/06/2026,I1,25.00,,25.00,,,\n"
              "C1,Première Cie,28/06/2026,I1,,4.00,21.00,,,\n"
              "C1,Première Cie,,,,,,21.00,0.00,21.00\n"
              "C2,Second Ltd,,,,,,0.00,0.00,0.00\n");
}

} // namespace

namespace {

// The company's own address, as the company window would have written it.
void describe(test::TempCompany& company) {
    Cursor comp(company.dataRoot(), "comp");
    ASSERT_TRUE(comp.findKey({Value(1)}));
    comp.edit();
    comp.set("Comp_Adr1", "1250, rue Notre-Dame Ouest");
    comp.set("Comp_city", "Montréal");
    comp.set("Comp_Prov", "QC");
    comp.set("Comp_Postal_code", "H3C 1K3");
    comp.set("Comp_telephone", "514 555-0142");
    comp.post();
}

} // namespace

// A new company prints on its standard layout in its own language: company,
// client, date, page, the lines, the five named buckets, interest and total
// due. The mailed twin draws the same. VM_CUSTSTMT_PDF=<dir> keeps the PDFs.
TEST(StandardStatementLayout, NewCompanyPrintsTheStandardStatement) {
    for (const auto& [language, golden] : {std::pair{schema::Language::English, "standard-en.listing"},
                                           {schema::Language::French, "standard-fr.listing"}}) {
        test::TempCompany company(language);
        describe(company);
        company.addClient("C1", "Première Cie",
                          {{"Cli_Adr1", "12, boul. des Laurentides"},
                           {"Cli_city", "Laval"},
                           {"Cli_prov", "QC"},
                           {"Cli_postal_code", "H7G 2T1"},
                           {"Cli_country", "Canada"}});
        company.addCar("C1", "1001", "1", kAt.addDays(-95), Money::fromUnits(1000));
        company.addCar("C1", "1001", "2", kAt.addDays(-40), Money::fromUnits(-400));
        company.addCar("C1", "1002", "1", kAt.addDays(-45), Money::fromUnits(1250));
        company.addCar("C1", "1003", "1", kAt.addDays(-5), Money::fromUnits(80));
        StatementReportSetup s;
        s.options.printDate = s.options.today = kAt;
        s.options.interestRate = 12;
        s.companyDir = company.companyDir();
        s.company = readCompanyBlock(company.dataRoot(), 1);
        s.localSign = "$";
        s.language = static_cast<int>(language);
        const report::ReportDocument doc = layOutStatements(company.db(), s);
        if (const char* dir = std::getenv("VM_CUSTSTMT_PDF")) {
            static int argc = 1;
            static char name[] = "vm_custstmt_tests";
            static char* argv[] = {name, nullptr};
            if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
            report::PdfExporter::write(doc, std::string(dir) + "/" + golden + ".pdf");
        }
        const std::string actual = report::ReportListing::text(doc);
        s.email = true;
        EXPECT_EQ(report::ReportListing::text(layOutStatements(company.db(), s)), actual);
        const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/custstmt/" + golden;
        if (std::getenv("VM_UPDATE_GOLDEN")) {
            std::ofstream(path) << actual;
            continue;
        }
        EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
    }
}

// A layout the company has, even one table of it, is never written over.
TEST(StandardStatementLayout, ACompanysOwnLayoutIsKept) {
    test::TempCompany company;
    auto rows = [&](const char* table) {
        int n = 0;
        Cursor c(company.db(), table, true);
        for (bool ok = c.first(); ok; ok = c.next())
            ++n;
        return n;
    };
    const int standard = rows("arecfrm");
    EXPECT_FALSE(schema::writeDefaultStatementLayouts(company.db(), schema::Language::English));
    EXPECT_EQ(rows("arecfrm"), standard);

    for (const char* t : {"arecfrm", "arecfrm1", "Earecfrm", "Earecfrm1", "Earecfrm2"})
        company.clearTable(t);
    company.addRow("arecfrm", {{"Arecfrm_field", "MY OWN"}, {"Arecfrm_band", "H"}});
    EXPECT_TRUE(schema::writeDefaultStatementLayouts(company.db(), schema::Language::French));
    EXPECT_EQ(rows("arecfrm"), 1);
    EXPECT_EQ(rows("arecfrm1"), 0);
    EXPECT_EQ(rows("Earecfrm"), standard); // only the mailed twin was missing
    EXPECT_EQ(rows("Earecfrm1"), 1);
}
