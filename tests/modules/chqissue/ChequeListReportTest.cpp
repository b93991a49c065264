#include "modules/chqissue/core/ChequeListReport.h"
#include "modules/chqissue/core/ChequeList.h"
#include "report/ReportExporter.h"
#include "report/ReportListing.h"

#include "tests/fixture/TempCompany.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vm;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// VM_UPDATE_GOLDEN=1 writes the reference files afresh.
void expectGolden(const std::string& actual, const std::string& name) {
    const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/chqissue/" + name;
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path) << actual;
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
}

// Two cheques (one with a discount and two invoices) and a template without
// supplier, in the report's listing and its CSV.
TEST(ChequeListReportTest, SmallListMatchesItsReferenceListingAndCsv) {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);

    test::TempCompany c;
    c.addAccount(1000, "Bank");
    c.addAccount(5100, "Discounts earned");
    c.setCtrl({{"Ctrl_bank_accnt1", 1000}, {"Ctrl_ap_disb_accnt2", 5100}});
    const Date due = Date::fromYmd(2026, 3, 15);
    c.addSupplier("ACME", "Acme Supplies",
                  {{"Sup_bank_account", 1000},
                   {"Sup_pmt_discount", 2.0},
                   {"Sup_adr1", "12 Main St"},
                   {"Sup_city", "Montreal"}});
    c.addCap("ACME", "A-1", "1", Date::fromYmd(2026, 2, 13), Money::fromUnits(1000), {{"Cap_du_date", due}});
    c.addCap("ACME", "A-2", "1", Date::fromYmd(2026, 2, 20), Money::fromCents(12345), {{"Cap_du_date", due}});
    c.addSupplier("BOLT", "Bolt & Nut", {{"Sup_bank_account", 1000}});
    c.addCap("BOLT", "B-1", "1", Date::fromYmd(2026, 1, 2), Money::fromCents(5050), {{"Cap_du_date", due}});
    c.addRow("recchqh", {{"Apchqh_seq", 1},
                         {"Apchqh_nom", "Landlord"},
                         {"Apchqh_accnt2", 1000},
                         {"Apchqh_Montant", Money::fromUnits(800)},
                         {"Apchqh_desc", " Eight Hundred   Dollars"}});
    c.addRow("recchqd", {{"Apchqd_seq", 1},
                         {"Apchqd_invoice", "RENT"},
                         {"Apchqd_montant", Money::fromUnits(800)},
                         {"Apchqd_payment", Money::fromUnits(800)}});

    chqissue::ListRequest r;
    r.printingDate = Date::fromYmd(2026, 3, 10);
    r.dueBy = Date::fromYmd(2026, 3, 31);
    r.bankAccount = 1000;
    r.includeRecurring = true;
    chqissue::ChequeListBuilder(c.db()).build(r);

    chqissue::ChequeReportSetup s;
    s.companyName = "Test Co";
    s.userName = "Tester";
    s.dueBy = r.dueBy;
    s.printedAt = DateTime(Date::fromYmd(2026, 3, 10), 9 * 3600);
    const report::ReportDocument doc = chqissue::ChequeListReport::layOut(c.db(), s);
    expectGolden(report::ReportListing::text(doc), "list.listing");
    const std::string csv = (std::filesystem::path(c.rootDir()) / "list.csv").string();
    ASSERT_TRUE(report::ReportExporter::write(doc, report::ReportExporter::Format::Csv, csv));
    expectGolden(readFile(csv), "list.csv");
}

} // namespace
