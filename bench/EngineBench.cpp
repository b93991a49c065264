// The table engine beside plain SQLite calls on the same database file, on a
// demo company of 10,000 clients and about a million receivables rows built
// once for the run. Each engine case has a raw twin doing the same work; the
// table printed at the end gives their times and ratios, then the memory a
// ranged walk takes on a small and on the large ledger.
//
// VM_BENCH_INVOICES sets the number of demo invoices (default 615,000, which
// with their payments gives about a million rows).
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace vm;

namespace {

const char* const kLedgerOrder = " ORDER BY Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_seq";

struct BenchCompany {
    std::string root;
    std::unique_ptr<Database> db, dataRoot;
    std::vector<std::string> clients;
    std::int64_t carRows = 0;
    double buildSeconds = 0;

    void build(const admin::DemoOptions& o) {
        std::string p = (fs::temp_directory_path() / "vmbench.XXXXXX").string();
        if (!mkdtemp(p.data())) throw std::runtime_error("cannot make a temporary directory");
        root = p;
        const std::string dataDir = schema::dataDirOf(root);
        const auto start = std::chrono::steady_clock::now();
        schema::createDataRoot(dataDir);
        admin::buildDemoCompany(dataDir, o);
        buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        db = std::make_unique<Database>(schema::companyDirOf(dataDir, 1));
        dataRoot = std::make_unique<Database>(dataDir);
        Query q(*db, "SELECT Cli_code FROM cli ORDER BY Cli_code");
        while (q.next())
            clients.push_back(q.value(0).asString());
        Query n(*db, "SELECT COUNT(*) FROM car");
        n.next();
        carRows = n.value(0).asInt();
    }
    ~BenchCompany() {
        db.reset();
        dataRoot.reset();
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
};

BenchCompany* g_big = nullptr;
BenchCompany* g_small = nullptr;

// A prepared raw statement, finalized on scope exit.
class RawStmt {
public:
    RawStmt(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare: ") + sqlite3_errmsg(db));
    }
    ~RawStmt() { sqlite3_finalize(st_); }
    RawStmt(const RawStmt&) = delete;
    RawStmt& operator=(const RawStmt&) = delete;
    sqlite3_stmt* get() const { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
};

void rawExec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string m = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(m);
    }
}

// Reads every column of the current raw row as an application would: numbers
// as numbers, text copied out.
std::int64_t readRawRow(sqlite3_stmt* st, std::string& text) {
    std::int64_t sum = 0;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
            sum += sqlite3_column_int64(st, i);
            break;
        case SQLITE_FLOAT:
            sum += static_cast<std::int64_t>(sqlite3_column_double(st, i));
            break;
        case SQLITE_TEXT:
            text.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                        static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
            sum += static_cast<std::int64_t>(text.size());
            break;
        default:
            break;
        }
    }
    return sum;
}

std::int64_t readCursorRow(const Cursor& c) {
    std::int64_t sum = 0;
    for (int i = 0; i < c.fieldCount(); ++i) {
        const Value v = c.value(i);
        if (auto n = std::get_if<std::int64_t>(&v.storage()))
            sum += *n;
        else if (auto m = std::get_if<Money>(&v.storage()))
            sum += m->raw();
        else if (auto s = std::get_if<std::string>(&v.storage()))
            sum += static_cast<std::int64_t>(s->size());
    }
    return sum;
}

// --- (a) one client's rows through the client index ------------------------

void RangeEngine(benchmark::State& state) {
    Cursor car(*g_big->db, "car", true);
    car.setIndex("Car_client");
    std::size_t i = 0;
    std::int64_t rows = 0, sum = 0;
    for (auto _ : state) {
        car.setRange({Value(g_big->clients[(i++ * 7919) % g_big->clients.size()])});
        for (bool ok = car.hasRow(); ok; ok = car.next()) {
            sum += readCursorRow(car);
            ++rows;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void RangeRaw(benchmark::State& state) {
    RawStmt st(g_big->db->rawHandle(), std::string("SELECT * FROM car WHERE Car_client = ?") + kLedgerOrder);
    std::size_t i = 0;
    std::int64_t rows = 0, sum = 0;
    std::string text;
    for (auto _ : state) {
        const std::string& code = g_big->clients[(i++ * 7919) % g_big->clients.size()];
        sqlite3_reset(st.get());
        sqlite3_bind_text(st.get(), 1, code.data(), static_cast<int>(code.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st.get()) == SQLITE_ROW) {
            sum += readRawRow(st.get(), text);
            ++rows;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

// Opening a cursor, ordering and ranging it: what a window pays per client.
void OpenRangeEngine(benchmark::State& state) {
    std::size_t i = 0;
    std::int64_t sum = 0;
    for (auto _ : state) {
        Cursor car(*g_big->db, "car", true);
        car.setIndex("Car_client");
        car.setRange({Value(g_big->clients[(i++ * 7919) % g_big->clients.size()])});
        for (bool ok = car.hasRow(); ok; ok = car.next())
            sum += readCursorRow(car);
    }
    benchmark::DoNotOptimize(sum);
}

void OpenRangeRaw(benchmark::State& state) {
    std::size_t i = 0;
    std::int64_t sum = 0;
    std::string text;
    for (auto _ : state) {
        RawStmt st(g_big->db->rawHandle(),
                   std::string("SELECT * FROM car WHERE Car_client = ?") + kLedgerOrder);
        const std::string& code = g_big->clients[(i++ * 7919) % g_big->clients.size()];
        sqlite3_bind_text(st.get(), 1, code.data(), static_cast<int>(code.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st.get()) == SQLITE_ROW)
            sum += readRawRow(st.get(), text);
    }
    benchmark::DoNotOptimize(sum);
}

// --- (b) the whole ledger in client-index order ------------------------------

void WalkEngine(benchmark::State& state) {
    std::int64_t sum = 0, rows = 0;
    for (auto _ : state) {
        Cursor car(*g_big->db, "car", true);
        car.setIndex("Car_client");
        for (bool ok = car.first(); ok; ok = car.next()) {
            sum += readCursorRow(car);
            ++rows;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void WalkRaw(benchmark::State& state) {
    std::int64_t sum = 0, rows = 0;
    std::string text;
    for (auto _ : state) {
        RawStmt st(g_big->db->rawHandle(), std::string("SELECT * FROM car") + kLedgerOrder);
        while (sqlite3_step(st.get()) == SQLITE_ROW) {
            sum += readRawRow(st.get(), text);
            ++rows;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

// --- (c) 10,000 ledger rows in one transaction -------------------------------

constexpr int kInsertRows = 10000;

std::int64_t maxSeq() {
    Query q(*g_big->db, "SELECT MAX(Car_seq) FROM car");
    q.next();
    return q.value(0).asInt();
}

void removeAbove(std::int64_t seq) {
    g_big->db->execute("DELETE FROM car WHERE Car_seq > ?", {seq});
}

void InsertEngine(benchmark::State& state) {
    const Date d = Date::fromYmd(2026, 12, 1);
    const std::int64_t before = maxSeq();
    for (auto _ : state) {
        Transaction tx(*g_big->db);
        Cursor car(*g_big->db, "car");
        for (int k = 0; k < kInsertRows; ++k) {
            car.insert();
            car.set("Car_client", g_big->clients[static_cast<std::size_t>(k) % g_big->clients.size()]);
            car.set("Car_invoice", std::to_string(900000 + k));
            car.set("Car_ref", "BENCH");
            car.set("Car_date", d);
            car.set("Car_type", "1");
            car.set("Car_du_date", d);
            car.set("Car_amount", Money::fromCents(12345 + k));
            car.set("Car_slsm", "JT");
            car.set("Car_pro_tax", Money());
            car.set("Car_fed_tax", Money());
            car.set("Car_user", "BENCH");
            car.post();
        }
        tx.commit();
        state.PauseTiming();
        removeAbove(before);
        state.ResumeTiming();
    }
}

void InsertRaw(benchmark::State& state) {
    sqlite3* raw = g_big->db->rawHandle();
    const std::int64_t before = maxSeq();
    const std::string d = Date::fromYmd(2026, 12, 1).toIso();
    for (auto _ : state) {
        rawExec(raw, "BEGIN IMMEDIATE");
        {
            RawStmt st(raw,
                       "INSERT INTO car (Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_du_date,"
                       " Car_amount, Car_memo, Car_slsm, Car_pro_tax, Car_fed_tax, Car_user)"
                       " VALUES (?, ?, 'BENCH', ?, '1', ?, ?, '', 'JT', 0, 0, 'BENCH')");
            for (int k = 0; k < kInsertRows; ++k) {
                const std::string& client =
                    g_big->clients[static_cast<std::size_t>(k) % g_big->clients.size()];
                const std::string invoice = std::to_string(900000 + k);
                sqlite3_reset(st.get());
                sqlite3_bind_text(st.get(), 1, client.data(), static_cast<int>(client.size()),
                                  SQLITE_TRANSIENT);
                sqlite3_bind_text(st.get(), 2, invoice.data(), static_cast<int>(invoice.size()),
                                  SQLITE_TRANSIENT);
                sqlite3_bind_text(st.get(), 3, d.data(), static_cast<int>(d.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(st.get(), 4, d.data(), static_cast<int>(d.size()), SQLITE_TRANSIENT);
                sqlite3_bind_int64(st.get(), 5, Money::fromCents(12345 + k).raw());
                if (sqlite3_step(st.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(raw));
            }
        }
        rawExec(raw, "COMMIT");
        state.PauseTiming();
        removeAbove(before);
        state.ResumeTiming();
    }
}

// --- (d) one client row changed under its record lock ------------------------

void EditPostEngine(benchmark::State& state) {
    Cursor cli(*g_big->db, "cli");
    std::size_t i = 0;
    for (auto _ : state) {
        if (!cli.findKey({Value(g_big->clients[(i++ * 31) % g_big->clients.size()])}))
            throw std::runtime_error("client not found");
        cli.edit();
        cli.set("Cli_current_bal", cli.money("Cli_current_bal") + Money::fromCents(1));
        cli.post();
    }
}

void EditPostRaw(benchmark::State& state) {
    RawStmt st(g_big->db->rawHandle(),
               "UPDATE cli SET Cli_current_bal = Cli_current_bal + 100 WHERE Cli_code = ?");
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& code = g_big->clients[(i++ * 31) % g_big->clients.size()];
        sqlite3_reset(st.get());
        sqlite3_bind_text(st.get(), 1, code.data(), static_cast<int>(code.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st.get()) != SQLITE_DONE) throw std::runtime_error("update failed");
    }
}

// --- (e) the open-invoice list of a client with 10 invoices -----------------
// What the cash receipts window does when a client is chosen: the client's
// ledger summed per invoice into the work table, the distribution preset
// from the chart, the totals row.

constexpr int kSession = 3;

// A client of its own with ten open invoices, one ledger row each, added to
// the company once (demo clients have about a hundred rows each).
std::string tenInvoiceClient(Database& db) {
    const std::string code = "BENCH10";
    Cursor cli(db, "cli");
    if (cli.findKey({Value(code)})) return code;
    Transaction tx(db);
    cli.insert();
    schema::fillBlank(cli);
    cli.set("Cli_code", code);
    cli.set("Cli_name", "Ten invoices");
    cli.post();
    Cursor car(db, "car");
    const Date d = Date::fromYmd(2026, 11, 2);
    for (int k = 0; k < 10; ++k) {
        car.insert();
        schema::fillBlank(car);
        car.set("Car_client", code);
        car.set("Car_invoice", "B" + std::to_string(100 + k));
        car.set("Car_date", d);
        car.set("Car_du_date", d.addDays(30));
        car.set("Car_type", "1");
        car.set("Car_amount", Money::fromCents(10000 + k));
        car.post();
    }
    tx.commit();
    return code;
}

void OpenInvoicesEngine(benchmark::State& state) {
    const auto accounts = cashrcpt::ControlAccounts::load(*g_big->db);
    cashrcpt::ReceiptEntry entry(*g_big->db, accounts, kSession);
    entry.createWorkTables(*g_big->dataRoot);
    const auto client = entry.findClient(tenInvoiceClient(*g_big->db));
    if (!client) throw std::runtime_error("no client with 10 invoices");
    for (auto _ : state)
        entry.startClient(*client, "BENCH");
    state.counters["invoices"] = static_cast<double>(entry.invoices().size());
}

void OpenInvoicesRaw(benchmark::State& state) {
    const auto accounts = cashrcpt::ControlAccounts::load(*g_big->db);
    {
        cashrcpt::ReceiptEntry entry(*g_big->db, accounts, kSession);
        entry.createWorkTables(*g_big->dataRoot);
    }
    const std::string client = tenInvoiceClient(*g_big->db);
    const std::string list = schema::workTableName("car_temp", kSession),
                      lines = schema::workTableName("artmp", kSession),
                      totals = schema::workTableName("cxtmp", kSession);
    sqlite3* raw = g_big->db->rawHandle();
    const char* const cols = "Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_du_date, Car_amount,"
                             " Car_memo, Car_slsm, Car_pro_tax, Car_fed_tax";
    RawStmt emptyList(raw, "DELETE FROM \"" + list + "\"");
    RawStmt ledger(raw, std::string("SELECT ") + cols + " FROM car WHERE Car_client = ?" + kLedgerOrder);
    RawStmt insertList(raw, "INSERT INTO \"" + list + "\" (" + cols +
                                ", Car_Payment) VALUES (?, ?, ?, ?, '2', ?, ?, ?, ?, ?, ?, 0)");
    RawStmt emptyLines(raw, "DELETE FROM \"" + lines + "\"");
    RawStmt account(raw, "SELECT Glm_Description FROM glm WHERE Glm_account = ?");
    RawStmt insertLine(raw, "INSERT INTO \"" + lines +
                                "\" (Tmp_account, Tmp_desc, Tmp_debit, Tmp_credit) VALUES (?, ?, 0, 0)");
    RawStmt sums(raw, "SELECT TOTAL(Tmp_debit), TOTAL(Tmp_credit) FROM \"" + lines + "\"");
    RawStmt setTotals(raw, "UPDATE \"" + totals + "\" SET TotalDebit = ?, TotalCredit = ?");
    std::vector<std::int32_t> chart{accounts.receivablesAccount(0)};
    for (auto a : accounts.receiptAccounts)
        chart.push_back(a);
    auto run = [](sqlite3_stmt* st) {
        while (sqlite3_step(st) == SQLITE_ROW) {
        }
        sqlite3_reset(st);
    };
    std::string text;
    for (auto _ : state) {
        rawExec(raw, "BEGIN");
        run(emptyList.get());
        sqlite3_bind_text(ledger.get(), 1, client.data(), static_cast<int>(client.size()), SQLITE_TRANSIENT);
        std::string current;
        std::int64_t amount = 0;
        bool open = false;
        auto flush = [&] {
            if (!open) return;
            sqlite3_bind_int64(insertList.get(), 6, amount);
            run(insertList.get());
            open = false;
        };
        while (sqlite3_step(ledger.get()) == SQLITE_ROW) {
            text.assign(reinterpret_cast<const char*>(sqlite3_column_text(ledger.get(), 1)));
            if (open && text == current) {
                amount += sqlite3_column_int64(ledger.get(), 6);
                continue;
            }
            flush();
            current = text;
            amount = sqlite3_column_int64(ledger.get(), 6);
            for (int c : {0, 1, 3, 5, 7, 8, 9, 10}) // every column but the reference, type and amount
                sqlite3_bind_value(insertList.get(),
                                   c < 2    ? c + 1
                                   : c == 3 ? 4
                                            : c,
                                   sqlite3_column_value(ledger.get(), c));
            sqlite3_bind_text(insertList.get(), 3, "BENCH", -1, SQLITE_STATIC);
            open = true;
        }
        flush();
        sqlite3_reset(ledger.get());
        run(emptyLines.get());
        for (auto a : chart) {
            sqlite3_bind_int(account.get(), 1, a);
            if (sqlite3_step(account.get()) == SQLITE_ROW) {
                text.assign(reinterpret_cast<const char*>(sqlite3_column_text(account.get(), 0)));
                sqlite3_bind_int(insertLine.get(), 1, a);
                sqlite3_bind_text(insertLine.get(), 2, text.data(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
                run(insertLine.get());
            }
            sqlite3_reset(account.get());
        }
        if (sqlite3_step(sums.get()) == SQLITE_ROW) {
            sqlite3_bind_int64(setTotals.get(), 1,
                               static_cast<std::int64_t>(sqlite3_column_double(sums.get(), 0)));
            sqlite3_bind_int64(setTotals.get(), 2,
                               static_cast<std::int64_t>(sqlite3_column_double(sums.get(), 1)));
        }
        sqlite3_reset(sums.get());
        run(setTotals.get());
        rawExec(raw, "COMMIT");
    }
}

// --- results ----------------------------------------------------------------

// Keeps the mean CPU time of every run by its plain name ("RangeEngine"),
// beside the usual output. CPU time, because on a shared build machine the
// wall clock mostly measures the neighbours.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
                const std::string name = r.benchmark_name();
                seconds[name.substr(0, name.find('/'))] =
                    r.cpu_accumulated_time / static_cast<double>(r.iterations);
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

std::string timeText(double s) {
    char buf[32];
    if (s < 1e-3)
        std::snprintf(buf, sizeof buf, "%8.1f us", s * 1e6);
    else if (s < 1)
        std::snprintf(buf, sizeof buf, "%8.2f ms", s * 1e3);
    else
        std::snprintf(buf, sizeof buf, "%8.2f s ", s);
    return buf;
}

long residentKb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Largest growth of the resident set while walking: ranged on one client, or
// the whole table when `client` is empty.
long walkGrowthKb(Database& db, const std::string& client, std::int64_t& rows) {
    const long before = residentKb();
    long peak = before;
    Cursor car(db, "car", true);
    car.setIndex("Car_client");
    if (client.empty())
        car.first();
    else
        car.setRange({Value(client)});
    rows = 0;
    std::int64_t sum = 0;
    for (bool ok = car.hasRow(); ok; ok = car.next()) {
        sum += readCursorRow(car);
        if (++rows % 512 == 0) peak = std::max(peak, residentKb());
    }
    benchmark::DoNotOptimize(sum);
    return std::max(peak, residentKb()) - before;
}

// The client with the most ledger rows, so that the ranged walks compare
// like with like.
std::string busiestClient(Database& db) {
    Query q(db, "SELECT Car_client, COUNT(*) AS n FROM car GROUP BY Car_client ORDER BY n DESC LIMIT 1");
    return q.next() ? q.value(0).asString() : std::string();
}

void printSummary(const CollectingReporter& rep) {
    std::printf("\nEngine against plain SQLite on %lld car rows, %zu clients (company built in %.1f s)\n",
                static_cast<long long>(g_big->carRows), g_big->clients.size(), g_big->buildSeconds);
    std::printf("%-44s %12s %12s %7s %s\n", "case (CPU time per iteration)", "engine", "raw", "ratio",
                "target");
    const struct {
        const char* label;
        const char* engine;
        const char* raw;
        double target;
    } rows[] = {
        {"(a) one client's rows, client index", "RangeEngine", "RangeRaw", 2.0},
        {"(a') open a cursor, range it, walk", "OpenRangeEngine", "OpenRangeRaw", 2.0},
        {"(b) whole ledger in client-index order", "WalkEngine", "WalkRaw", 2.0},
        {"(c) insert 10,000 rows, one transaction", "InsertEngine", "InsertRaw", 0},
        {"(d) edit and post one client row", "EditPostEngine", "EditPostRaw", 2.0},
        {"(e) open-invoice list of 10 invoices", "OpenInvoicesEngine", "OpenInvoicesRaw", 3.0},
    };
    for (const auto& r : rows) {
        const auto e = rep.seconds.find(r.engine), w = rep.seconds.find(r.raw);
        if (e == rep.seconds.end() || w == rep.seconds.end()) continue;
        const double ratio = e->second / w->second;
        char target[32] = "-";
        if (r.target > 0)
            std::snprintf(target, sizeof target, "%s %gx", ratio <= r.target ? "within" : "OVER", r.target);
        std::printf("%-44s %12s %12s %6.2fx %s\n", r.label, timeText(e->second).c_str(),
                    timeText(w->second).c_str(), ratio, target);
    }

    std::int64_t smallRows = 0, bigRows = 0, allRows = 0;
    const long small = walkGrowthKb(*g_small->db, busiestClient(*g_small->db), smallRows);
    const long big = walkGrowthKb(*g_big->db, busiestClient(*g_big->db), bigRows);
    const long all = walkGrowthKb(*g_big->db, "", allRows);
    std::printf("\nResident memory growth while walking (kB):\n");
    std::printf("  ranged on one client, small ledger (%lld rows in table): %ld kB for %lld rows\n",
                static_cast<long long>(g_small->carRows), small, static_cast<long long>(smallRows));
    std::printf("  ranged on one client, large ledger (%lld rows in table): %ld kB for %lld rows\n",
                static_cast<long long>(g_big->carRows), big, static_cast<long long>(bigRows));
    std::printf("  whole large ledger: %ld kB for %lld rows\n", all, static_cast<long long>(allRows));
}

} // namespace

BENCHMARK(RangeEngine)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(RangeRaw)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(OpenRangeEngine)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(OpenRangeRaw)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(WalkEngine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(WalkRaw)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(InsertEngine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(InsertRaw)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(EditPostEngine)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(EditPostRaw)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(OpenInvoicesEngine)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(OpenInvoicesRaw)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    try {
        admin::DemoOptions big;
        big.clients = 10000;
        big.invoices = 615000;
        if (const char* n = std::getenv("VM_BENCH_INVOICES")) big.invoices = std::atoi(n);
        BenchCompany bigCompany, smallCompany;
        std::printf("Building the benchmark company (%d clients, %d invoices)...\n", big.clients,
                    big.invoices);
        std::fflush(stdout);
        bigCompany.build(big);
        smallCompany.build(admin::DemoOptions{});
        g_big = &bigCompany;
        g_small = &smallCompany;

        CollectingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        printSummary(reporter);
        g_big = g_small = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vm_bench_engine: %s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
