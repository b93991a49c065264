// The month end of a large company beside the same purge done with raw SQL
// (copy to history and delete, one statement each) on the same rows.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/monthend/core/MonthEnd.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long long scalar(Database& db, const std::string& sql) {
    Query q(db, sql);
    q.next();
    return static_cast<long long>(q.value(0).asInt());
}

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", err ? err : "sqlite error");
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int invoices = argc > 2 ? std::atoi(argv[2]) : 620000;
    // The demo's ledger runs through 2026; this cut-off leaves about 40 % of
    // the rows in fully paid invoices.
    const std::string cutoff = argc > 3 ? argv[3] : "2026-09-15";

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-monthend-XXXXXX").string();
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
    db.execute("UPDATE ctrl SET Ctrl_ar_histo = 1");
    // The rows of the fully paid invoices of clients on file, by one join on
    // the ledger's client index.
    const std::string upTo = "(Car_date IS NULL OR Car_date <= '" + cutoff + "')";
    const std::string paid =
        "rowid IN (SELECT c.rowid FROM (SELECT Car_client AS k, Car_invoice AS i FROM car "
        "WHERE " +
        upTo +
        " AND Car_client IN (SELECT Cli_code FROM cli) "
        "GROUP BY Car_client, Car_invoice HAVING SUM(Car_amount) = 0) p "
        "JOIN car c ON c.Car_client = p.k AND c.Car_invoice = p.i WHERE (c.Car_date IS NULL "
        "OR c.Car_date <= '" +
        cutoff + "'))";
    const long long rows = scalar(db, "SELECT COUNT(*) FROM car");
    const long long paidRows = scalar(db, "SELECT COUNT(*) FROM car WHERE " + paid);
    std::printf("car rows: %lld, of which %lld (%.0f %%) in fully paid invoices\n", rows, paidRows,
                100.0 * static_cast<double>(paidRows) / static_cast<double>(rows));

    // Raw SQL, rolled back so that the month end starts from the same rows.
    std::string cols;
    for (const FieldDef& f : db.tableDef("car").fields)
        if (f.type != FieldType::AutoInc) cols += (cols.empty() ? "" : ", ") + f.name;
    sqlite3* raw = db.rawHandle();
    t = Clock::now();
    exec(raw, "BEGIN IMMEDIATE");
    exec(raw, "INSERT INTO carh (" + cols + ") SELECT " + cols + " FROM car WHERE " + paid);
    const long long copied = sqlite3_changes64(raw);
    exec(raw, "DELETE FROM car WHERE " + paid);
    const long long deleted = sqlite3_changes64(raw);
    const double sqlTime = seconds(t);
    exec(raw, "ROLLBACK");
    std::printf("raw SQL purge:  %lld rows copied, %lld deleted in %.3f s\n", copied, deleted, sqlTime);

    t = Clock::now();
    monthend::MonthEnd run(db);
    const auto r = run.run(Date::fromIso(cutoff).value());
    const double runTime = seconds(t);
    std::printf(
        "month end:      %lld invoices, %lld rows copied, %lld deleted, %lld clients and %lld sales reps "
        "reset in %.3f s (%.2fx the raw SQL; target 3x)\n",
        static_cast<long long>(r->invoicesPurged), static_cast<long long>(r->rowsToHistory),
        static_cast<long long>(r->rowsDeleted), static_cast<long long>(r->clientsReset),
        static_cast<long long>(r->salesmenReset), runTime, runTime / sqlTime);
    if (r->rowsDeleted != deleted) std::printf("MISMATCH: the two purges removed different rows\n");
    std::filesystem::remove_all(root);
    return 0;
}
