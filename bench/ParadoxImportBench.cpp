// Bringing a company over from Paradox tables: 10,000 clients and a million
// ledger rows written by pxlib from a demo company, imported as
// import-paradox does, beside the same rows copied table to table through the
// engine (read from the demo company, inserted field by field), each in one
// transaction into a new company.
//
// VM_BENCH_INVOICES sets the demo invoices (default 615,000, about a million
// ledger rows with their payments); VM_BENCH_ROWS the ledger rows taken.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"
#include "tools/ParadoxImport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace vm;

namespace {

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long envNumber(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

// The rows of `table` of `from` (at most maxRows) inserted into `to`.
std::int64_t copyThroughEngine(Database& from, Database& to, const std::string& table, std::int64_t maxRows) {
    Cursor in(from, table, true);
    Cursor out(to, table);
    while (out.first())
        out.remove();
    std::int64_t rows = 0;
    for (bool more = in.first(); more && rows < maxRows; more = in.next(), ++rows) {
        out.insert();
        for (int f = 0; f < in.fieldCount(); ++f)
            out.set(f, in.value(f));
        out.post();
    }
    return rows;
}

} // namespace

int main() {
    const long invoices = envNumber("VM_BENCH_INVOICES", 615000);
    const long ledgerRows = envNumber("VM_BENCH_ROWS", 1000000);
    std::string p = (fs::temp_directory_path() / "vmbench-paradox.XXXXXX").string();
    if (!mkdtemp(p.data())) throw std::runtime_error("cannot make a temporary directory");
    const std::string root = p;
    const std::string dataDir = schema::dataDirOf(root);
    const std::string src = root + "/paradox";
    fs::create_directories(src);

    auto start = std::chrono::steady_clock::now();
    schema::createDataRoot(dataDir);
    admin::DemoOptions o;
    o.clients = 10000;
    o.invoices = static_cast<int>(invoices);
    admin::buildDemoCompany(dataDir, o);
    std::printf("demo company built in %.1f s\n", since(start));

    Database demo(schema::companyDirOf(dataDir, 1));
    start = std::chrono::steady_clock::now();
    admin::ParadoxExportOptions all;
    const std::int64_t clients = admin::exportParadoxTable(demo, "cli", src + "/cli.DB", all);
    admin::ParadoxExportOptions some;
    some.maxRows = ledgerRows;
    const std::int64_t ledger = admin::exportParadoxTable(demo, "car", src + "/car.DB", some);
    std::printf("Paradox tables written by pxlib in %.1f s: %lld clients, %lld ledger rows (%.0f MB)\n",
                since(start), static_cast<long long>(clients), static_cast<long long>(ledger),
                static_cast<double>(fs::file_size(src + "/car.DB") + fs::file_size(src + "/cli.DB")) / 1e6);

    schema::createCompany(dataDir, 2, "Paradox import");
    schema::createCompany(dataDir, 3, "Engine copy");
    double paradoxSecs = 0, engineSecs = 0;
    std::int64_t imported = 0, copied = 0;
    {
        Database db(schema::companyDirOf(dataDir, 2));
        start = std::chrono::steady_clock::now();
        admin::ParadoxFolder folder(src, schema::companyTables());
        Transaction tx(db);
        imported = folder.copyInto(db).rows;
        tx.commit();
        paradoxSecs = since(start);
    }
    {
        Database db(schema::companyDirOf(dataDir, 3));
        start = std::chrono::steady_clock::now();
        Transaction tx(db);
        copied = copyThroughEngine(demo, db, "cli", clients) + copyThroughEngine(demo, db, "car", ledger);
        tx.commit();
        engineSecs = since(start);
    }
    std::printf("\n%-44s %10s %8s %12s\n", "run", "rows", "s", "rows/s");
    std::printf("%-44s %10lld %8.1f %12.0f\n", "import-paradox (pxlib read, engine insert)",
                static_cast<long long>(imported), paradoxSecs, static_cast<double>(imported) / paradoxSecs);
    std::printf("%-44s %10lld %8.1f %12.0f\n", "engine to engine (cursor read, insert)",
                static_cast<long long>(copied), engineSecs, static_cast<double>(copied) / engineSecs);
    std::error_code ec;
    fs::remove_all(root, ec);
    return imported == copied ? 0 : 1;
}
