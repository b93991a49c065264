// The aging of a large company beside one SQL pass that sums the same rows
// by client, and the time to render the summary listing to PDF.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/rcvaging/core/Aging.h"
#include "modules/rcvaging/ui/AgingDataSource.h"
#include "modules/rcvaging/ui/AgingReport.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "report/ReportLayouter.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <QGuiApplication>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int invoices = argc > 2 ? std::atoi(argv[2]) : 620000;

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-aging-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string root = tmpl;
    const std::string dataDir = schema::dataDirOf(root);
    auto t = Clock::now();
    schema::createDataRoot(dataDir, schema::standardUsers());
    admin::DemoOptions demo;
    demo.clients = clients;
    demo.suppliers = 20;
    demo.invoices = invoices;
    admin::buildDemoCompany(dataDir, demo);
    std::printf("demo company: %d clients, %d invoices built in %.1f s\n", clients, invoices, seconds(t));

    Session session;
    Database& db = session.database(schema::companyDirOf(dataDir, 1));
    {
        Query n(db, "SELECT COUNT(*) FROM car");
        n.next();
        std::printf("car rows: %lld\n", static_cast<long long>(n.value(0).asInt()));
    }

    // One SQL pass: the balance of every client from its rows.
    t = Clock::now();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.rawHandle(), "SELECT Car_client, SUM(Car_amount) FROM car GROUP BY Car_client", -1,
                       &st, nullptr);
    long long groups = 0, total = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++groups;
        total += sqlite3_column_int64(st, 1);
    }
    sqlite3_finalize(st);
    const double sqlPass = seconds(t);

    // The aging's own read: the rows in client-index order, nothing done with them.
    t = Clock::now();
    long long read = 0;
    {
        Query q(
            db,
            "SELECT Car_client, Car_invoice, Car_ref, Car_date, Car_du_date, Car_type, Car_amount FROM car "
            "WHERE Car_client >= ? ORDER BY Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_seq",
            {std::string()});
        while (q.next())
            ++read;
    }
    std::printf("ledger read in index order: %lld rows in %.3f s\n", read, seconds(t));

    aging::AgingOptions o;
    o.today = Date::today();
    o.reportDate = o.today.addDays(-1); // as-of balances: every row is read and selected
    o.zeroBalance = true;
    t = Clock::now();
    aging::Aging aging(db, o);
    long long rows = 0;
    aging::AgingTotals totals =
        aging.run([&](const aging::AgingAccount& a) { rows += static_cast<long long>(a.rows.size()); });
    const double agingTime = seconds(t);
    std::printf("SQL pass (sum by client): %lld clients in %.3f s\n", groups, sqlPass);
    std::printf(
        "aging computation:        %d accounts, %lld rows in %.3f s  (%.2fx the SQL pass; target 3x)\n",
        totals.accounts, rows, agingTime, agingTime / sqlPass);

    // The summary listing of the whole company to PDF.
    aging::AgingReportSetup s;
    s.detailed = false;
    s.companyName = "Benchmark";
    s.reportDate = o.reportDate;
    s.bucketNames = aging.control().bucketNames;
    auto report = aging::AgingReport::build(s);
    aging::AgingDataSource source(aging, false, false, {"Inv.", "Pay.", "Doc.", "Debit", "Credit"});
    aging.restart();
    report->setDataSource(&source);
    t = Clock::now();
    report::ReportDocument doc = report::ReportLayouter::run(*report);
    const double layout = seconds(t);
    t = Clock::now();
    const std::string pdf = root + "/summary.pdf";
    report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf, pdf);
    std::printf("summary listing: %zu pages laid out in %.3f s, PDF written in %.3f s (%.1f MB)\n",
                doc.pages.size(), layout, seconds(t),
                static_cast<double>(std::filesystem::file_size(pdf)) / 1e6);
    std::filesystem::remove_all(root);
    return 0;
}
