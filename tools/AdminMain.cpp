// valmorand-admin: creates a data root, adds companies, fills a demo company
// and checks a company's books. Exit status: 0 done (books balance), 1 the
// books do not balance or the work failed, 2 bad arguments.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Schema.h"
#include "tools/BatchCommand.h"
#include "tools/BooksCheck.h"
#include "tools/ChequeListCommand.h"
#include "tools/DemoCompany.h"
#include "tools/ParadoxImport.h"
#include "tools/ReadOnlyCopy.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vm;

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "usage: valmorand-admin init DIR\n"
    "       valmorand-admin add-company DIR N NAME [--language en|fr]\n"
    "       valmorand-admin demo DIR [--clients N] [--suppliers N] [--invoices N]\n"
    "                                [--language en|fr]\n"
    "       valmorand-admin check DIR N\n"
    "       valmorand-admin import-paradox SRC DIR N [--name NAME] [--language en|fr]\n"
    "       valmorand-admin import-paradox SRC DIR --root\n"
    "       valmorand-admin month-end DIR N --cutoff YYYY-MM-DD\n"
    "       valmorand-admin aging DIR N --ledger receivables|payables --output FILE [options]\n"
    "       valmorand-admin client-list DIR N --output FILE [options]\n"
    "       valmorand-admin supplier-list DIR N --output FILE [options]\n"
    "       valmorand-admin statements DIR N --output FILE [options]\n"
    "       valmorand-admin COMMAND --help   (for month-end, aging, the lists and cheque-list)\n"
    "       valmorand-admin cheque-list DIR N [--new-list ...] [--output FILE]\n"
    "       valmorand-admin copy FROM TO\n"
    "DIR is the data drive: the data root is DIR/Valmorand/data, company N is\n"
    "DIR/Valmorand/dataN. DIR may instead be a PostgreSQL server,\n"
    "postgresql://[user@][host][:port]/database[?host=/socket/dir&port=N]: the data\n"
    "root is its schema \"data\", company N the schema \"dataN\"; the password comes\n"
    "from ~/.pgpass or PGPASSWORD. copy copies a data root with its companies to an\n"
    "empty target, between a directory and a server either way, and checks them.\n";

struct UsageError {
    std::string message;
};

std::optional<long long> parseCount(const std::string& text) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

int parseCount(const std::string& text, const std::string& what, long long low, long long high) {
    auto n = parseCount(text);
    if (!n || *n < low || *n > high)
        throw UsageError{what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\""};
    return static_cast<int>(*n);
}

// The language of a company's own texts (period names, aging columns, the
// demo's chart): "en" or "fr".
schema::Language parseLanguage(const std::string& text) {
    if (text == "en") return schema::Language::English;
    if (text == "fr") return schema::Language::French;
    throw UsageError{"--language must be en or fr, not \"" + text + "\""};
}

bool onServer(const std::string& location) {
    return Database::isServerLocation(location);
}

// DIR must be an existing directory: a mistyped path is refused rather than
// silently created. A server location names its data root's schema.
std::string dataDirFor(const std::string& root) {
    if (onServer(root)) return schema::dataDirOf(root);
    std::error_code ec;
    if (root.empty() || !fs::is_directory(root, ec))
        throw UsageError{"\"" + root + "\" is not an existing directory"};
    return schema::dataDirOf(fs::absolute(root, ec).string());
}

std::string requireDataRoot(const std::string& root) {
    const std::string dataDir = dataDirFor(root);
    if (!schema::isDataRoot(dataDir))
        throw UsageError{dataDir + " is not a data directory; run \"valmorand-admin init " + root +
                         "\" first"};
    return dataDir;
}

// Whether a location holds anything a copy would overwrite. A directory
// holding only a database without tables (what a copy cut short leaves
// there: its one transaction never committed) holds nothing; any other
// file is kept.
bool holdsTables(const std::string& location) {
    if (onServer(location)) return !Database(location).tableNames().empty();
    std::error_code ec;
    if (!fs::exists(location, ec) || fs::is_empty(location, ec)) return false;
    const std::string file = Database::kFileName;
    for (const auto& e : fs::directory_iterator(location, ec)) {
        const std::string n = e.path().filename().string();
        if (n != file && n != file + "-wal" && n != file + "-shm" && n != Database::kLockFileName)
            return true;
    }
    if (ec) return true;
    return fs::exists(fs::path(location) / file, ec) && !Database(location).tableNames().empty();
}

// Copies the tables of one location to another that holds none, making a
// target directory.
void copyLocation(const std::string& from, const std::string& to) {
    if (!onServer(to)) fs::create_directories(to);
    Database source(from);
    Database target(to);
    target.copyFrom(source);
}

std::vector<int> listedCompanies(Database& root) {
    std::vector<int> out;
    Cursor comp(root, "comp", true);
    for (bool ok = comp.first(); ok; ok = comp.next())
        out.push_back(static_cast<int>(comp.integer("Comp_Code")));
    return out;
}

int cmdInit(const std::vector<std::string>& a) {
    if (a.size() != 1) throw UsageError{"init takes one argument, the directory"};
    const std::string dataDir = dataDirFor(a[0]);
    if (schema::isDataRoot(dataDir)) throw UsageError{dataDir + " already holds a data root"};
    schema::createDataRoot(dataDir, schema::standardUsers());
    std::cout
        << "Data root created in " << dataDir << "\n"
        << "Users: ADMIN (password ADMIN, every right), CLERK (password CLERK, receivables entry only).\n";
    return 0;
}

int cmdAddCompany(const std::vector<std::string>& a) {
    if (a.size() == 5 && a[3] != "--language") throw UsageError{"unknown option " + a[3]};
    if (a.size() != 3 && a.size() != 5)
        throw UsageError{"add-company takes the directory, the company number and its name"};
    const auto language = a.size() == 5 ? parseLanguage(a[4]) : schema::Language::English;
    const std::string dataDir = requireDataRoot(a[0]);
    const int n = parseCount(a[1], "the company number", 1, schema::kMaxCompany);
    schema::createCompany(dataDir, n, a[2], language);
    std::cout << "Company " << n << " \"" << a[2] << "\" created in " << schema::companyDirOf(dataDir, n)
              << "\n";
    return 0;
}

int cmdDemo(const std::vector<std::string>& a) {
    if (a.empty()) throw UsageError{"demo needs the directory"};
    admin::DemoOptions o;
    for (std::size_t i = 1; i < a.size(); i += 2) {
        if (i + 1 >= a.size()) throw UsageError{"option " + a[i] + " needs a value"};
        if (a[i] == "--clients")
            o.clients = parseCount(a[i + 1], "--clients", 0, 99999);
        else if (a[i] == "--suppliers")
            o.suppliers = parseCount(a[i + 1], "--suppliers", 0, 9999);
        else if (a[i] == "--invoices")
            o.invoices = parseCount(a[i + 1], "--invoices", 0, 50000000);
        else if (a[i] == "--language")
            o.language = parseLanguage(a[i + 1]);
        else
            throw UsageError{"unknown option " + a[i]};
    }
    if (o.invoices > 0 && o.clients == 0) throw UsageError{"invoices need at least one client"};
    const std::string dataDir = requireDataRoot(a[0]);
    const auto start = std::chrono::steady_clock::now();
    const admin::DemoSummary s = admin::buildDemoCompany(dataDir, o);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << (s.companyCreated ? "Company 1 created and filled" : "Company 1 filled") << " in "
              << schema::companyDirOf(dataDir, 1) << ":\n"
              << "  " << s.clients << " clients, " << s.suppliers << " suppliers\n"
              << "  " << s.invoices << " client invoices, " << s.receipts << " payments received\n"
              << "  " << s.purchases << " supplier invoices, " << s.disbursements << " payments made\n"
              << "  " << s.journalHeaders << " journal entries, " << s.journalLines << " journal lines\n";
    char buf[64];
    std::snprintf(buf, sizeof buf, "  %.1f s\n", secs);
    std::cout << buf;
    return 0;
}

// The differences found in a company's books and codes, printed; their count.
std::size_t reportDifferences(Database& company, Database& root) {
    auto differences = admin::checkBooks(company);
    for (auto& d : admin::checkCodes(company, root))
        differences.push_back(std::move(d));
    for (const auto& d : differences)
        std::cout << d << "\n";
    if (!differences.empty()) {
        std::cout << differences.size() << (differences.size() == 1 ? " difference" : " differences")
                  << " found.\n";
        return differences.size();
    }
    std::cout << "Books balance.\n";
    return 0;
}

// A server's schemas are read as they are (reading takes no lock there).
int checkOnServer(const std::string& dataDir, int n) {
    Database root(dataDir);
    if (!root.tableExists("comp"))
        throw UsageError{dataDir + " is not a data root; run \"valmorand-admin init\" first"};
    if (!schema::companyListed(root, n))
        throw UsageError{"company " + std::to_string(n) + " is not in the list of companies"};
    Database company(schema::companyDirOf(dataDir, n));
    if (!company.tableExists("ctrl"))
        throw UsageError{"company " + std::to_string(n) + " cannot be checked: it holds no company tables"};
    return reportDifferences(company, root) == 0 ? 0 : 1;
}

// FROM's data root and every company it lists go to TO, which must hold
// none of them; then every company is checked where it arrived.
int cmdCopy(const std::vector<std::string>& a) {
    if (a.size() != 2) throw UsageError{"copy takes the data drive to copy from and the one to copy to"};
    const std::string from = requireDataRoot(a[0]);
    const std::string to = dataDirFor(a[1]);
    if (holdsTables(to)) throw UsageError{to + " is not empty; copy only to an empty target"};
    std::vector<int> companies;
    {
        Database root(from);
        companies = listedCompanies(root);
    }
    for (int n : companies)
        if (holdsTables(schema::companyDirOf(to, n)))
            throw UsageError{schema::companyDirOf(to, n) + " is not empty; copy only to an empty target"};
    for (int n : companies)
        copyLocation(schema::companyDirOf(from, n), schema::companyDirOf(to, n));
    copyLocation(from, to); // listed last: a copy cut short shows no company
    std::cout << "Data root and " << companies.size() << (companies.size() == 1 ? " company" : " companies")
              << " copied to " << to << "\n";
    int status = 0;
    Database root(to);
    for (int n : companies) {
        std::cout << "Company " << n << ": ";
        Database company(schema::companyDirOf(to, n));
        if (reportDifferences(company, root) != 0) status = 1;
    }
    return status;
}

// Reads the data root and the company through read-only copies: checking
// never writes either of them.
int cmdCheck(const std::vector<std::string>& a) {
    if (a.size() != 2) throw UsageError{"check takes the directory and the company number"};
    const std::string dataDir = dataDirFor(a[0]);
    const int n = parseCount(a[1], "the company number", 1, schema::kMaxCompany);
    if (onServer(dataDir)) return checkOnServer(dataDir, n);
    std::optional<admin::ReadOnlyCopy> root;
    try {
        root.emplace(dataDir);
    } catch (const admin::ReadOnlyCopy::NotADatabase&) {
    }
    if (!root || !root->db().tableExists("comp"))
        throw UsageError{dataDir + " is not a data directory; run \"valmorand-admin init " + a[0] +
                         "\" first"};
    if (!schema::companyListed(root->db(), n))
        throw UsageError{"company " + std::to_string(n) + " is not in the list of companies"};
    const std::string dir = schema::companyDirOf(dataDir, n);
    std::optional<admin::ReadOnlyCopy> company;
    try {
        company.emplace(dir);
    } catch (const admin::ReadOnlyCopy::NotADatabase& e) {
        throw UsageError{"company " + std::to_string(n) + " cannot be checked: " + e.what()};
    }
    if (!company->db().tableExists("ctrl"))
        throw UsageError{"company " + std::to_string(n) + " cannot be checked: " + dir +
                         " holds no company tables"};
    return reportDifferences(company->db(), root->db()) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return args.empty() ? kUsageError : 0;
    }
    const std::string cmd = args[0];
    args.erase(args.begin());
    try {
        if (cmd == "init") return cmdInit(args);
        if (cmd == "add-company") return cmdAddCompany(args);
        if (cmd == "demo") return cmdDemo(args);
        if (cmd == "check") return cmdCheck(args);
        if (cmd == "copy") return cmdCopy(args);
        // The batch runs of the modules (tools/BatchCommand.h).
        if (cmd == "month-end") return admin::monthEndCommand(args);
        if (cmd == "aging") return admin::agingCommand(args);
        if (cmd == "client-list") return admin::clientListCommand(args);
        if (cmd == "supplier-list") return admin::supplierListCommand(args);
        if (cmd == "cheque-list") return admin::chequeListCommand(args);
        if (cmd == "statements") return admin::statementsCommand(args);
        if (cmd == "import-paradox") return admin::importParadoxCommand(args);
        throw UsageError{"unknown command \"" + cmd + "\""};
    } catch (const UsageError& e) {
        std::cerr << "valmorand-admin: " << e.message << "\n" << kUsage;
        return kUsageError;
    } catch (const schema::SchemaError& e) {
        std::cerr << "valmorand-admin: " << e.what() << "\n";
        return kUsageError;
    } catch (const EngineError& e) {
        std::cerr << "valmorand-admin: database error " << e.code() << ": " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "valmorand-admin: " << e.what() << "\n";
        return 1;
    }
}
