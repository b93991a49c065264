// The engine on its two backends in one run: a demo company built in a
// directory (SQLite) and copied to a private PostgreSQL 15 server (started
// for the run, durable: fsync on), then the same cases on both:
//   - a ranged cursor over one client's ledger rows,
//   - the whole ledger walked in client-index order, and in the order of its
//     writing (forwards and backwards),
//   - 10,000 inserts in one transaction,
//   - a client row edited and posted under its record lock,
//   - the client inquiry's statement page of a client with 5,000 ledger rows
//     (its work table filled, then read back beside the ledger),
//   - 8 processes posting 500 cash receipts each to the same 100 clients.
// Prints each figure and the ratio PostgreSQL / SQLite (times) or
// PostgreSQL / SQLite (receipts per second).
//
// VM_BENCH_INVOICES sets the number of demo invoices (default 30,000);
// VM_BENCH_PROCESSES and VM_BENCH_RECEIPTS the posting case (8 x 500).
#include "bench/HeavyClient.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptChecks.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "modules/cashrcpt/core/ReceiptPosting.h"
#include "modules/custview/core/ClientStatement.h"
#include "schema/Schema.h"
#include "tests/fixture/PgServer.h"
#include "tools/BooksCheck.h"
#include "tools/DemoCompany.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vm;

namespace {

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& f) {
    const auto t = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t).count();
}

struct Figures {
    double rangeUs = 0, walkMs = 0, writtenWalkMs = 0, insertMs = 0, editPostUs = 0, statementMs = 0;
    double receiptsPerSecond = 0, postSeconds = 0;
    long waits = 0;
    bool booksClean = false;
};

std::vector<std::string> clientCodes(Database& db) {
    std::vector<std::string> out;
    Cursor cli(db, "cli", true);
    for (bool ok = cli.first(); ok; ok = cli.next())
        out.push_back(cli.str("Cli_code"));
    return out;
}

void engineCases(Database& db, Figures& f) {
    const auto clients = clientCodes(db);
    {
        Cursor car(db, "car", true);
        car.setIndex("Car_client");
        constexpr int kRanges = 2000;
        std::int64_t rows = 0;
        const double s = secondsOf([&] {
            for (int i = 0; i < kRanges; ++i) {
                car.setRange({Value(clients[(static_cast<std::size_t>(i) * 7919) % clients.size()])});
                for (bool ok = car.hasRow(); ok; ok = car.next())
                    rows += car.money("Car_amount").raw() != 0;
            }
        });
        f.rangeUs = s * 1e6 / kRanges;
    }
    f.walkMs = 1000 * secondsOf([&] {
                   Cursor car(db, "car", true);
                   car.setIndex("Car_client");
                   std::int64_t n = 0;
                   for (bool ok = car.first(); ok; ok = car.next())
                       n += static_cast<std::int64_t>(car.str("Car_invoice").size());
               });
    f.writtenWalkMs = 1000 * secondsOf([&] {
                          Cursor car(db, "car", true);
                          std::int64_t n = 0;
                          for (bool ok = car.first(); ok; ok = car.next())
                              n += static_cast<std::int64_t>(car.str("Car_invoice").size());
                          for (bool ok = car.last(); ok; ok = car.prior())
                              n -= static_cast<std::int64_t>(car.str("Car_invoice").size());
                          if (n != 0) throw std::runtime_error("the two walks differ");
                      });
    {
        const Date d = Date::fromYmd(2026, 12, 1);
        f.insertMs = 1000 * secondsOf([&] {
                         // A batch, as the product's bulk writes (postings, copies,
                         // imports) are: the write lock taken at the start.
                         Transaction tx(db, true);
                         Cursor car(db, "car");
                         for (int k = 0; k < 10000; ++k) {
                             car.insert();
                             schema::fillBlank(car);
                             car.set("Car_client", clients[static_cast<std::size_t>(k) % clients.size()]);
                             car.set("Car_invoice", std::to_string(900000 + k));
                             car.set("Car_ref", "BENCH");
                             car.set("Car_date", d);
                             car.set("Car_type", "1");
                             car.set("Car_amount", Money::fromCents(12345 + k));
                             car.post();
                         }
                         tx.commit();
                     });
        db.execute("DELETE FROM car WHERE Car_ref = ?", {Value("BENCH")});
    }
    {
        Cursor cli(db, "cli");
        constexpr int kEdits = 2000;
        const double s = secondsOf([&] {
            for (int i = 0; i < kEdits; ++i) {
                // A cent on, then off again: the books stay as they were.
                if (!cli.findKey({Value(clients[(static_cast<std::size_t>(i / 2) * 31) % clients.size()])}))
                    throw std::runtime_error("client not found");
                cli.edit();
                cli.set("Cli_current_bal", cli.money("Cli_current_bal") + Money::fromCents(i % 2 ? -1 : 1));
                cli.post();
            }
        });
        f.editPostUs = s * 1e6 / kEdits;
    }
    {
        constexpr int kRows = 5000;
        bench::addHeavyClientRows(db, "ZZHEAVY", kRows, 800000);
        custview::fillStatement(db, 1, clients.front(), false); // the work table as a small client left it
        f.statementMs = 1000 * secondsOf([&] {
                            custview::fillStatement(db, 1, "ZZHEAVY", false);
                            Query q(db, custview::statementSql(db, 1, false), {Value("ZZHEAVY")});
                            int n = 0;
                            while (q.next())
                                ++n;
                            if (n != kRows) throw std::runtime_error("the statement page lost rows");
                        });
        db.execute("DELETE FROM car WHERE Car_client = ?", {Value("ZZHEAVY")});
    }
}

// One process: 500 receipts, each paying one cent on the first open invoice
// of one of the first 100 clients, waiting out locks.
int postReceipts(const std::string& dataDir, int process, int count, std::atomic<long>* waits) {
    try {
        Database root(dataDir);
        Database db(schema::companyDirOf(dataDir, 1));
        const auto accounts = cashrcpt::ControlAccounts::load(db);
        const int session = 1 + process;
        cashrcpt::ReceiptEntry entry(db, accounts, session);
        entry.createWorkTables(root);
        cashrcpt::ReceiptPosting posting(db, accounts);
        posting.setUser("BENCH");
        const auto clients = clientCodes(db);
        const std::size_t spread = std::min<std::size_t>(100, clients.size());
        for (int i = 0; i < count; ++i) {
            const auto client =
                entry.findClient(clients[(static_cast<std::size_t>(i) * 13 + process) % spread]);
            if (!client) return 3;
            entry.startClient(*client, "B" + std::to_string(process) + "-" + std::to_string(i));
            for (const auto& r : entry.invoices()) {
                entry.setPayment(r.rowId, Money::fromCents(1));
                break;
            }
            const auto doc =
                entry.document(Date::fromYmd(2026, 12, 1), "B" + std::to_string(process), "", false);
            if (!cashrcpt::ReceiptChecks::check(db, accounts, doc).ok()) return 5; // as the window refuses it
            const auto done = posting.post(doc, 12, [&] {
                waits->fetch_add(1);
                usleep(2000);
                return true;
            });
            entry.clear();
            if (!done) return 4;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "process %d: %s\n", process, e.what());
        return 1;
    }
}

void postingCase(const std::string& dataDir, Figures& f) {
    int kProcesses = 8, kEach = 500;
    if (const char* n = std::getenv("VM_BENCH_PROCESSES")) kProcesses = std::max(1, std::atoi(n));
    if (const char* n = std::getenv("VM_BENCH_RECEIPTS")) kEach = std::max(1, std::atoi(n));
    auto* waits = static_cast<std::atomic<long>*>(
        mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    new (waits) std::atomic<long>(0);
    bool failed = false;
    f.postSeconds = secondsOf([&] {
        std::vector<pid_t> pids;
        for (int p = 0; p < kProcesses; ++p) {
            const pid_t pid = fork();
            if (pid == 0) _exit(postReceipts(dataDir, p, kEach, waits));
            pids.push_back(pid);
        }
        for (pid_t pid : pids) {
            int status = 0;
            waitpid(pid, &status, 0);
            failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        }
    });
    if (failed) throw std::runtime_error("a posting process failed");
    f.receiptsPerSecond = kProcesses * kEach / f.postSeconds;
    f.waits = waits->load();
    munmap(waits, sizeof(std::atomic<long>));
    Database db(schema::companyDirOf(dataDir, 1));
    const auto differences = admin::checkBooks(db);
    f.booksClean = differences.empty();
    if (!differences.empty()) std::fprintf(stderr, "%s\n", differences.front().c_str());
}

void printRow(const char* what, double sqlite, double pg, const char* unit) {
    std::printf("%-44s %12.1f %12.1f %s   ratio %.2f\n", what, sqlite, pg, unit, pg / sqlite);
}

} // namespace

int main() {
    admin::DemoOptions o;
    o.clients = 1000;
    o.suppliers = 50;
    o.invoices = 30000;
    if (const char* n = std::getenv("VM_BENCH_INVOICES")) o.invoices = std::atoi(n);
    setenv("VM_PG_DURABLE", "1", 1);

    std::string p = (fs::temp_directory_path() / "vmbackend.XXXXXX").string();
    if (!mkdtemp(p.data())) return 1;
    const std::string root = p;
    const std::string dataDir = schema::dataDirOf(root);
    std::printf("Building the demo company (%d invoices)...\n", o.invoices);
    std::fflush(stdout);
    schema::createDataRoot(dataDir);
    admin::buildDemoCompany(dataDir, o);

    test::PgServer& server = test::PgServer::instance();
    const std::string pgData = schema::dataDirOf(server.newDatabase());
    const double copySeconds = secondsOf([&] {
        Database from(dataDir), to(pgData);
        to.copyFrom(from);
        Database fromCo(schema::companyDirOf(dataDir, 1)), toCo(schema::companyDirOf(pgData, 1));
        toCo.copyFrom(fromCo);
    });
    std::int64_t rows = 0;
    {
        Database db(schema::companyDirOf(dataDir, 1));
        Query q(db, "SELECT COUNT(*) FROM car");
        q.next();
        rows = q.value(0).asInt();
    }
    std::printf("Copied to PostgreSQL in %.1f s (%lld ledger rows)\n", copySeconds,
                static_cast<long long>(rows));

    Figures lite, pg;
    for (auto [where, f] : {std::pair{dataDir, &lite}, std::pair{pgData, &pg}}) {
        std::printf("Engine cases on %s...\n", f == &lite ? "SQLite" : "PostgreSQL");
        std::fflush(stdout);
        Database db(schema::companyDirOf(where, 1));
        engineCases(db, *f);
    }
    for (auto [where, f] : {std::pair{dataDir, &lite}, std::pair{pgData, &pg}}) {
        std::printf("8 processes x 500 receipts on %s...\n", f == &lite ? "SQLite" : "PostgreSQL");
        std::fflush(stdout);
        postingCase(where, *f);
    }

    std::printf("\n%-44s %12s %12s\n", "case", "SQLite", "PostgreSQL");
    printRow("ranged cursor, one client's rows", lite.rangeUs, pg.rangeUs, "us");
    printRow("walk of the ledger in client order", lite.walkMs, pg.walkMs, "ms");
    printRow("walk there and back in the order of writing", lite.writtenWalkMs, pg.writtenWalkMs, "ms");
    printRow("10,000 inserts in one transaction", lite.insertMs, pg.insertMs, "ms");
    printRow("edit and post under the record lock", lite.editPostUs, pg.editPostUs, "us");
    printRow("statement page of a client of 5,000 rows", lite.statementMs, pg.statementMs, "ms");
    printRow("8 x 500 receipts, receipts per second", lite.receiptsPerSecond, pg.receiptsPerSecond, "/s");
    std::printf("%-44s %12ld %12ld\n", "lock waits while posting", lite.waits, pg.waits);
    std::printf("%-44s %12s %12s\n", "books after posting", lite.booksClean ? "balance" : "DIFFER",
                pg.booksClean ? "balance" : "DIFFER");
    std::error_code ec;
    fs::remove_all(root, ec);
    return lite.booksClean && pg.booksClean ? 0 : 1;
}
