// The aging of a large company beside one SQL pass that sums the same rows
// by client, and the summary and detailed listings rendered to PDF (time a
// page, peak memory, first page in preview). Arguments: clients, invoices
// (620,000 invoices make about a million ledger rows; 0 0 runs only the
// 10,000- and 100,000-row twins).
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/rcvaging/core/Aging.h"
#include "modules/rcvaging/ui/AgingDataSource.h"
#include "modules/rcvaging/ui/AgingReport.h"
#include "report/PageRenderer.h"
#include "report/PageStream.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <QGuiApplication>
#include <QImage>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The process's peak resident size since the last reset, in MB (Linux).
void resetPeak() {
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return;
    std::fputs("5", f);
    std::fclose(f);
}
double peakMb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %lf", &kb) == 1) break;
    std::fclose(f);
    return kb / 1024.0;
}

// Processor time of the process: wall time suffers when the machine is busy.
double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Timed {
    int pages = 0;
    double firstPage = 0, total = 0, cpu = 0, peak = 0;
};

// Builds a demo company of this size and measures everything on it; returns
// the detailed listing's figures.
Timed measure(int clients, int invoices) {
    std::printf("--- %d clients, %d invoices\n", clients, invoices);

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-aging-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return {};
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

    // Each listing of the whole company to PDF: peak memory of the export
    // alone, and the time until the first page could be shown in preview.
    auto listing = [&](bool detailed) {
        aging::AgingReportSetup s;
        s.detailed = detailed;
        s.companyName = "Benchmark";
        s.reportDate = o.reportDate;
        s.bucketNames = aging.control().bucketNames;
        const std::string pdf = root + (detailed ? "/detail.pdf" : "/summary.pdf");
        Timed out;
        auto open = [&] {
            auto report = aging::AgingReport::build(s);
            auto source = std::make_shared<aging::AgingDataSource>(
                aging, detailed, false,
                std::array<std::string, 5>{"Inv.", "Pay.", "Doc.", "Debit", "Credit"});
            aging.restart();
            report->setDataSource(source.get());
            return std::make_unique<report::PageStream>(std::move(report), source);
        };
        resetPeak();
        // The preview's first page: laid out and rendered, nothing more read.
        t = Clock::now();
        {
            auto pages = open();
            report::DocumentPage page;
            pages->next(page);
            QImage first = report::PageRenderer::image(pages->info().page, page);
            out.firstPage = seconds(t);
        }
        t = Clock::now();
        const double cpu0 = cpuSeconds();
        {
            auto pages = open();
            report::ReportExporter::write(*pages, report::ReportExporter::Format::Pdf, pdf);
            out.pages = pages->pagesDone();
        }
        out.total = seconds(t);
        out.cpu = cpuSeconds() - cpu0;
        out.peak = peakMb();
        std::printf("%s listing: %d pages to PDF in %.3f s, %.3f s processor (%.3f ms a page), first page "
                    "shown after %.3f s, peak %.0f MB, %.1f MB file\n",
                    detailed ? "detailed" : "summary", out.pages, out.total, out.cpu,
                    1000.0 * out.cpu / std::max(1, out.pages), out.firstPage, out.peak,
                    static_cast<double>(std::filesystem::file_size(pdf)) / 1e6);
        return out;
    };
    const Timed sum = listing(false);
    const Timed det = listing(true);
    std::printf("detailed/summary time a page: %.2fx (target 1.5x); detailed peak %.0f MB (target 150)\n",
                (det.cpu / std::max(1, det.pages)) / (sum.cpu / std::max(1, sum.pages)), det.peak);
    std::filesystem::remove_all(root);
    return det;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int invoices = argc > 2 ? std::atoi(argv[2]) : 620000;
    // The detailed listing grows linearly: 100,000 rows beside 10,000.
    const Timed small = measure(1000, 6200);
    const Timed tenfold = measure(1000, 62000);
    std::printf("detailed listing, 10x the rows: %.2fx the processor time (target at most 12x)\n",
                tenfold.cpu / small.cpu);
    if (clients > 0 && invoices > 0) measure(clients, invoices);
    return 0;
}
