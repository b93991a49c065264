// The detailed client list of a large company laid out and written to PDF,
// beside the bare read of the same rows.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/custlist/core/ListSelection.h"
#include "modules/custlist/ui/ListListing.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
long peakRssKb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-list-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string root = tmpl;
    const std::string dataDir = schema::dataDirOf(root);
    auto t = Clock::now();
    schema::createDataRoot(dataDir, schema::standardUsers());
    admin::DemoOptions demo;
    demo.clients = clients;
    demo.suppliers = 20;
    demo.invoices = 0;
    admin::buildDemoCompany(dataDir, demo);
    std::printf("demo company: %d clients built in %.1f s\n", clients, seconds(t));

    Session session;
    Database& db = session.database(schema::companyDirOf(dataDir, 1));

    t = Clock::now();
    long long rows = 0;
    {
        lists::ListSelection selection(db, {});
        while (selection.next())
            ++rows;
    }
    std::printf("selection read: %lld clients in %.3f s\n", rows, seconds(t));

    lists::ListListingSetup s;
    s.companyName = "Bench";
    s.userName = "bench";
    t = Clock::now();
    const report::ReportDocument doc = lists::layOutList(db, s);
    const double layout = seconds(t);
    const std::string pdf = root + "/clients.pdf";
    t = Clock::now();
    std::string error;
    if (!report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf, pdf, &error)) {
        std::fprintf(stderr, "PDF: %s\n", error.c_str());
        return 1;
    }
    const double write = seconds(t);
    std::printf("detailed client list: %zu pages laid out in %.2f s, PDF written in %.2f s (%.1f MB), "
                "peak memory %.0f MB\n",
                doc.pages.size(), layout, write, static_cast<double>(std::filesystem::file_size(pdf)) / 1e6,
                static_cast<double>(peakRssKb()) / 1024.0);
    std::filesystem::remove_all(root);
    return 0;
}
