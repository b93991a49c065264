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
