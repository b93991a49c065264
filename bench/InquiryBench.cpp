// The client inquiry on a large company: the search over the client file and
// the statement page (work table filled and read back) of one client with
// 5,000 ledger rows, beside a client with a handful; the statement must cost
// in proportion to the client's rows, not to the ledger.
#include "bench/HeavyClient.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/custview/core/ClientSearch.h"
#include "modules/custview/core/ClientStatement.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace vm;
using namespace vm::custview;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

long long scalar(Database& db, const std::string& sql) {
    Query q(db, sql);
    q.next();
    return static_cast<long long>(q.value(0).asInt());
}

// Fills the work table and reads the statement back, as the page does.
int statementPage(Database& db, const std::string& client) {
    fillStatement(db, 1, client, false);
    Query q(db, statementSql(db, 1, false), {Value(client)});
    int n = 0;
    while (q.next())
        ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int invoices = argc > 2 ? std::atoi(argv[2]) : 620000;
    const int heavyRows = argc > 3 ? std::atoi(argv[3]) : 5000;

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-inquiry-XXXXXX").string();
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
    std::printf("demo company: %d clients, %d invoices built in %.1f s\n", clients, invoices, ms(t) / 1000);

    Session session;
    Database& db = session.database(schema::companyDirOf(dataDir, 1));
    db.execute("INSERT INTO cli (Cli_code, Cli_name) VALUES ('ZZHEAVY', 'Heavy Client Inc')");
    bench::addHeavyClientRows(db, "ZZHEAVY", heavyRows, 100000);
    std::printf("car rows: %lld\n", scalar(db, "SELECT COUNT(*) FROM car"));
    schema::createInquiryWorkTable(db, 1);

    t = Clock::now();
    int found = 0;
    { // the query ends before the session closes its database
        ClientSearch s = buildClientSearch(db, 1, SearchOperator::Containing, "Heavy", nullptr);
        Query q(db, s.sql, s.params);
        while (q.next())
            ++found;
    }
    std::printf("search \"Client name\" CONTAINING: %d found in %.1f ms\n", found, ms(t));

    const std::string small = [&] {
        Query c(db, "SELECT Car_client FROM car WHERE Car_client <> 'ZZHEAVY' LIMIT 1");
        c.next();
        return c.value(0).asString();
    }();
    t = Clock::now();
    const int smallRows = statementPage(db, small);
    const double smallMs = ms(t);
    t = Clock::now();
    const int rows = statementPage(db, "ZZHEAVY");
    const double heavyMs = ms(t);
    std::printf("statement page: %d rows in %.1f ms (%.3f ms a row); %d rows in %.1f ms\n", rows, heavyMs,
                heavyMs / rows, smallRows, smallMs);
    session.closeAll();
    std::filesystem::remove_all(root);
    return 0;
}
