#include "tests/report/SampleReport.h"

#include <QApplication>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vm::test {

using namespace vm::report;

namespace {
const char* kMoney = "$#,##0.00;-$#,##0.00";
const char* kTerritories[] = {"EST", "NRD", "OUE", "SUD"};
} // namespace

SampleReport::SampleReport() : report("List of Clients") {
    data = std::make_unique<VectorDataSource>(
        std::vector<std::string>{"Cli_terr", "Cli_code", "Cli_name", "Cli_date_created", "Cli_current_bal"});
    for (int i = 1; i <= 120; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "C%03d", i);
        std::string name = "Client " + std::string(code + 1) + (i % 3 == 0 ? " Ltée" : " Inc.");
        if (i == 5) name = "Dubé, \"Le Coin\" Inc.";
        if (i == 6) name = "=SUM(A1:A9)";
        std::int64_t cents = (static_cast<std::int64_t>(i) * 7919) % 200000 - 50000;
        data->addRow({Value(kTerritories[(i - 1) / 30]), Value(code), Value(name),
                      Value(Date::fromYmd(2026, 1, 1).addDays(i * 2)), Value(Money::fromCents(cents))});
    }

    report.setDataSource(data.get());
    report.setPrintDateTime(DateTime(Date::fromYmd(2026, 12, 8), 9 * 3600 + 30 * 60));
    report.setCsvColumns({"Territory", "Client", "Name", "Date", "Balance"});
    ItemFont bold = report.defaultFont();
    bold.bold = true;
    ItemFont big = bold;
    big.size = 12;

    auto& ph = report.pageHeader();
    ph.height = 50;
    ph.add(ReportItem::label("lblCompany", "Tarnwell Demo Ltd", 0, 0, 300, 15)).withFont(big);
    ph.add(ReportItem::label("lblTitle", "List of Clients", 0, 16, 300, 12)).withFont(bold);
    ph.add(ReportItem::label("lblDate", "Date :", 380, 0, 40, 12));
    ph.add(ReportItem::special(ItemKind::PrintDate, "qrDate", 420, 0, 120, 12, Alignment::Right));
    ph.add(ReportItem::label("lblTime", "Time :", 380, 12, 40, 12));
    ph.add(ReportItem::special(ItemKind::PrintTime, "qrTime", 420, 12, 120, 12, Alignment::Right, "hh:nn"));
    ph.add(ReportItem::label("lblHdrClient", "Client", 0, 34, 60, 12)).withFont(bold);
    ph.add(ReportItem::label("lblHdrName", "Name", 70, 34, 200, 12)).withFont(bold);
    ph.add(ReportItem::label("lblHdrDate", "Creation", 300, 34, 70, 12)).withFont(bold);
    ph.add(ReportItem::label("lblHdrBalance", "Balance", 420, 34, 120, 12, Alignment::Right)).withFont(bold);
    ph.add(ReportItem::line("lnHeader", 0, 48, 540));

    auto& g = report.addGroup("Cli_terr");
    g.header.height = 16;
    g.header.repeatOnEachPage = true;
    g.header.add(ReportItem::label("lblTerritory", "Territory", 0, 2, 60, 12)).withFont(bold);
    g.header.add(ReportItem::fieldItem("qrTerritory", "Cli_terr", 70, 2, 60, 12)).withFont(bold);
    g.footer.height = 18;
    g.footer.add(ReportItem::label("lblTerrTotal", "Territory total", 70, 2, 150, 12)).exportedAs("Name");
    g.footer.add(ReportItem::fieldItem("qrTerrCode", "Cli_terr", 0, 2, 60, 12)).exportedAs("Territory");
    g.footer.add(ReportItem::count("qrTerrCount", 300, 2, 40, 12));
    g.footer.add(ReportItem::sum("qrTerrTotal", "Cli_current_bal", 420, 2, 120, 12, kMoney))
        .exportedAs("Balance");
    g.footer.add(ReportItem::line("lnTerrTotal", 420, 1, 120));

    auto& d = report.detail();
    d.height = 12;
    auto& terr = d.add(ReportItem::fieldItem("qrTerr", "Cli_terr", 0, 0, 0, 12)).exportedAs("Territory");
    terr.exportOnly = true;
    d.add(ReportItem::fieldItem("qrCode", "Cli_code", 0, 0, 60, 12)).exportedAs("Client");
    d.add(ReportItem::fieldItem("qrName", "Cli_name", 70, 0, 220, 12)).exportedAs("Name");
    d.add(ReportItem::fieldItem("qrDateCreated", "Cli_date_created", 300, 0, 70, 12)).exportedAs("Date");
    d.add(ReportItem::fieldItem("qrBalance", "Cli_current_bal", 420, 0, 120, 12, Alignment::Right, kMoney))
        .exportedAs("Balance");

    auto& s = report.summary();
    s.height = 24;
    s.add(ReportItem::label("lblGrandTotal", " TOTAL ", 70, 6, 150, 14)).withFont(bold).exportedAs("Name");
    s.add(ReportItem::count("qrCount", 300, 6, 40, 14));
    s.add(ReportItem::sum("qrGrandTotal", "Cli_current_bal", 420, 6, 120, 14, kMoney))
        .withFont(bold)
        .exportedAs("Balance");

    auto& pf = report.pageFooter();
    pf.height = 14;
    pf.add(ReportItem::label("lblFooter", "Valmorand", 0, 2, 100, 12));
    pf.add(ReportItem::label("lblPageOf", "of", 480, 2, 20, 12, Alignment::Center));
    pf.add(ReportItem::special(ItemKind::PageNumber, "qrPage", 440, 2, 40, 12, Alignment::Right));
    pf.add(ReportItem::special(ItemKind::PageCount, "qrPages", 500, 2, 40, 12));
}

void ensureApplication() {
    static int argc = 1;
    static char name[] = "vm_report_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string golden(const std::string& name, const std::string& actual) {
    std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/report/" + name;
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return actual;
    }
    return readFile(path);
}

} // namespace vm::test
