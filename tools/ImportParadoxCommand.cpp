// valmorand-admin import-paradox: a company (or a data root's system tables)
// brought over from the Paradox tables of the program it replaces.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Creation.h"
#include "schema/Schema.h"
#include "tools/BatchCommand.h"
#include "tools/BooksCheck.h"
#include "tools/ParadoxImport.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace vm::admin {
namespace {

const char* const kHelp = "usage: valmorand-admin import-paradox SRC DIR N [--name NAME] [--language en|fr]\n"
                          "       valmorand-admin import-paradox SRC DIR --root\n"
                          "\n"
                          "Brings company N over from the Paradox tables of folder SRC (cli.DB, car.DB,\n"
                          "ctrl.DB, ... with their .MB memo files). Company N is created as add-company\n"
                          "would (--name, default \"Company N\" or its name in the list of companies;\n"
                          "--language, the language of its own texts); an existing company is used only\n"
                          "when it holds no rows but those add-company writes. Every table and field\n"
                          "whose name Valmorand knows is copied, field by field by name; the others are\n"
                          "listed and skipped. Money is rounded to ten-thousandths (the values that\n"
                          "needed it are counted), text and memos are read in each table's code page.\n"
                          "A table that cannot be read stops the import and nothing is written. At the\n"
                          "end the books check runs and its result is printed.\n"
                          "\n"
                          "With --root, SRC is the old data root and its system tables (list of\n"
                          "companies, users, terms, territories...) make the data root of DIR, created\n"
                          "as init would but with the imported users; refused when DIR has one.\n"
                          "\n"
                          "DIR is a directory: a company bound for a PostgreSQL server is imported into\n"
                          "a directory first, then moved there with \"valmorand-admin copy\".\n"
                          "\n"
                          "Exit status: 0 imported, 1 the import failed (nothing written), 2 refused.\n";

// Creation and its clean-up work on directories (a lock file beside the
// data root, a half-made folder removed on failure); on a server they would
// write files named after the address.
const char* const kNotOnServer =
    "an import goes into a directory; copy the data root to the server afterwards "
    "with \"valmorand-admin copy\"";

void printReport(const ParadoxImportReport& r) {
    for (const auto& t : r.tables) {
        std::cout << "  " << t.file << ": " << t.rows << (t.rows == 1 ? " row" : " rows") << "\n";
        for (const auto& f : t.skippedFields)
            std::cout << "    field skipped: " << f << "\n";
        for (const auto& f : t.cutFields)
            std::cout << "    " << f << "\n";
    }
    for (const auto& u : r.unknownTables)
        std::cout << "  " << u << ": not a Valmorand table, skipped\n";
    std::cout << "  " << r.rows << " rows; " << r.moneyValues << " money values, " << r.moneyRounded
              << " rounded to ten-thousandths\n";
}

bool holdsRows(Database& db) {
    for (const auto& t : schema::companyTables()) {
        const std::string name = t.name;
        if (name == "ctrl" || name == "Periods") continue;
        if (!Cursor(db, name, true).isEmpty()) return true;
    }
    return false;
}

std::optional<std::vector<Value>> compRow(Database& root, int company) {
    Cursor comp(root, "comp", true);
    if (!comp.findKey({Value(company)})) return std::nullopt;
    std::vector<Value> row;
    for (int i = 0; i < comp.fieldCount(); ++i)
        row.push_back(comp.value(i));
    return row;
}

void removeCompRow(Database& root, int company) {
    Transaction tx(root);
    Cursor comp(root, "comp");
    if (comp.findKey({Value(company)})) comp.remove();
    tx.commit();
}

void writeCompRow(Database& root, const std::vector<Value>& row, bool insert) {
    Transaction tx(root);
    Cursor comp(root, "comp");
    if (insert) {
        comp.insert();
    } else {
        if (!comp.findKey({row.at(0)})) return;
        comp.edit();
    }
    for (int i = 0; i < comp.fieldCount(); ++i)
        comp.set(i, row.at(static_cast<std::size_t>(i)));
    comp.post();
    tx.commit();
}

int importRoot(const std::string& src, const std::string& dir) {
    if (Database::isServerLocation(dir)) throw BatchRefused{kNotOnServer};
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec))
        throw BatchRefused{"\"" + dir + "\" is not an existing directory"};
    const std::string dataDir = schema::dataDirOf(fs::absolute(dir, ec).string());
    if (schema::isDataRoot(dataDir)) throw BatchRefused{dataDir + " already holds a data root"};
    std::vector<TableDef> known = schema::systemTables();
    for (const auto& t : schema::templateTables())
        known.push_back(t);
    if (!fs::is_directory(src, ec)) throw BatchRefused{"\"" + src + "\" is not a folder"};
    ParadoxFolder folder(src, known);
    // What this run makes, it removes when the import fails.
    const fs::path made =
        fs::exists(fs::path(dataDir).parent_path(), ec) ? fs::path(dataDir) : fs::path(dataDir).parent_path();
    const bool madeData = !fs::exists(dataDir, ec);
    schema::createDataRoot(dataDir);
    ParadoxImportReport report;
    try {
        Database root(dataDir);
        Transaction tx(root);
        ProgressLine line;
        report = folder.copyInto(root, [&line](std::int64_t done, std::int64_t total) {
            line.done(static_cast<int>(done), static_cast<int>(total), "Import");
            return true;
        });
        tx.commit();
    } catch (...) {
        if (madeData) {
            fs::remove_all(made, ec);
            fs::remove(dataDir + ".lock", ec);
        } else {
            schema::detail::removeDatabaseFiles(dataDir);
        }
        throw;
    }
    std::cout << "Data root " << dataDir << " imported from " << src << ":\n";
    printReport(report);
    return kExitDone;
}

int importCompany(BatchCommand& c, const std::string& src) {
    if (src.empty())
        throw BatchRefused{"import-paradox takes the Paradox folder, the directory and the company number"};
    schema::Language language = schema::Language::English;
    if (const auto l = c.value("language")) {
        if (*l == "fr")
            language = schema::Language::French;
        else if (*l != "en")
            throw BatchRefused{"--language must be en or fr, not \"" + *l + "\""};
    }
    const int n = c.company();
    if (Database::isServerLocation(c.root())) throw BatchRefused{kNotOnServer};
    const std::string dataDir = c.dataDir();
    const std::string dir = schema::companyDirOf(dataDir, n);
    std::error_code folderError;
    if (!fs::is_directory(src, folderError)) throw BatchRefused{"\"" + src + "\" is not a folder"};
    ParadoxFolder folder(src, schema::companyTables());

    schema::CreationLock lock(dataDir);
    std::error_code ec;
    const bool hasDatabase = Database::isServerLocation(dir)
                                 ? Database(dir).tableExists("ctrl")
                                 : fs::is_regular_file(fs::path(dir) / Database::kFileName, ec);
    std::optional<std::vector<Value>> listing;
    {
        Database root(dataDir);
        listing = compRow(root, n);
    }
    // A company listed by an import of the data root has no tables yet: it is
    // created now and keeps its listing.
    const bool create = !listing || !hasDatabase;
    std::string name = c.value("name").value_or(listing ? listing->at(1).asString() : std::string());
    if (name.find_first_not_of(' ') == std::string::npos) name = "Company " + std::to_string(n);
    if (create) {
        if (listing) {
            Database root(dataDir);
            removeCompRow(root, n);
        }
        try {
            schema::createCompany(lock, n, name, language);
        } catch (...) {
            if (listing) {
                Database root(dataDir);
                writeCompRow(root, *listing, true);
            }
            throw;
        }
        if (listing) {
            if (c.value("name")) listing->at(1) = Value(name);
            Database root(dataDir);
            writeCompRow(root, *listing, false);
        }
    }
    ParadoxImportReport report;
    try {
        Database db(dir);
        if (!create && holdsRows(db))
            throw BatchRefused{"company " + std::to_string(n) +
                               " already holds rows; import into a new company"};
        Transaction tx(db);
        ProgressLine line;
        report = folder.copyInto(db, [&line](std::int64_t done, std::int64_t total) {
            line.done(static_cast<int>(done), static_cast<int>(total), "Import");
            return true;
        });
        tx.commit();
        line.clear();
    } catch (...) {
        if (create) {
            schema::discardCompany(lock, n); // its directory, or its tables on a server
            if (listing) {
                Database root(dataDir);
                writeCompRow(root, *listing, true);
            }
        }
        throw;
    }
    std::cout << "Company " << n << " \"" << name << "\" imported from " << src << ":\n";
    printReport(report);

    std::cout << "Books check:\n";
    Database db(dir);
    Database root(dataDir);
    auto differences = checkBooks(db);
    for (auto& d : checkCodes(db, root))
        differences.push_back(std::move(d));
    for (const auto& d : differences)
        std::cout << "  " << d << "\n";
    if (differences.empty())
        std::cout << "  Books balance.\n";
    else
        std::cout << "  " << differences.size() << (differences.size() == 1 ? " difference" : " differences")
                  << " found.\n";
    return kExitDone;
}

} // namespace

int importParadoxCommand(const std::vector<std::string>& args) {
    BatchCommand cmd("import-paradox", kHelp, {{"name", true}, {"language", true}});
    std::vector<std::string> rest = args;
    std::string src;
    if (!rest.empty() && rest[0].rfind("-", 0) != 0) {
        src = rest[0];
        rest.erase(rest.begin());
    }
    const bool help = std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
                      std::find(rest.begin(), rest.end(), "-h") != rest.end();
    const auto root = std::find(rest.begin(), rest.end(), "--root");
    if (root == rest.end() || help)
        return cmd.run(rest, [&src](BatchCommand& c) {
            try {
                return importCompany(c, src);
            } catch (const ParadoxTableError& e) {
                throw std::runtime_error(std::string(e.what()) + "; nothing was written");
            }
        });
    rest.erase(root);
    try {
        if (src.empty() || rest.size() != 1 || rest[0].rfind("-", 0) == 0)
            throw BatchRefused{"import-paradox --root takes the Paradox folder and the directory"};
        return importRoot(src, rest[0]);
    } catch (const ParadoxTableError& e) {
        std::cerr << "valmorand-admin import-paradox: " << e.what() << "; nothing was written\n";
        return kExitFailed;
    } catch (const BatchRefused& e) {
        std::cerr << "valmorand-admin import-paradox: " << e.message << "\n";
        return kExitRefused;
    } catch (const schema::SchemaError& e) {
        std::cerr << "valmorand-admin import-paradox: " << e.what() << "\n";
        return kExitRefused;
    } catch (const std::exception& e) {
        std::cerr << "valmorand-admin import-paradox: " << e.what() << "\n";
        return kExitFailed;
    }
}

} // namespace vm::admin
