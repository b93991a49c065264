#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Creation.h"
#include "schema/Schema.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vm::schema {
namespace {

const CompanyTexts kEnglish = {{"January", "February", "March", "April", "May", "June", "July", "August",
                                "September", "October", "November", "December", "Adjustments"},
                               {"Current", "31-60", "61-90", "91-120", "Over 120"},
                               {"Cash", "Cheque", "Visa", "MasterCard", "Debit card"},
                               "Dollars",
                               "Cents"};
const CompanyTexts kFrench = {{"janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août",
                               "septembre", "octobre", "novembre", "décembre", "ajustements"},
                              {"Courant", "31-60", "61-90", "91-120", "Plus de 120"},
                              {"Comptant", "Chèque", "Visa", "MasterCard", "Carte de débit"},
                              "dollars",
                              "cents"};

// The control row of a new company: twelve periods starting at period 1,
// aging columns of 30-day steps, cheque words for the home currency and
// every counter at 1. Accounts stay 0 until the chart is set up.
void insertControlRow(Database& db, const CompanyTexts& texts) {
    Cursor c(db, "ctrl");
    c.insert();
    fillBlank(c);
    c.set("Ctrl_periods", 12);
    for (const char* f : {"Ctrl_gl_period", "Ctrl_ar_period", "Ctrl_ap_period", "Ctrl_fa_period"})
        c.set(f, 1);
    c.set("Ctrl_record_no", 1);
    c.set("Ctrl_date_fmt", 1);
    for (int i = 1; i <= 5; ++i) {
        const std::string n = std::to_string(i);
        c.set("Ctrl_ar_days" + n, 30 * i);
        c.set("Ctrl_ap_days" + n, 30 * i);
        c.set("Ctrl_ar_dname" + n, texts.agingColumns[static_cast<std::size_t>(i - 1)]);
        c.set("Ctrl_ap_dname" + n, texts.agingColumns[static_cast<std::size_t>(i - 1)]);
        c.set("Ctrl_ap_chqno" + n, 1);
    }
    for (int i = 1; i <= 5; ++i) {
        c.set("Ctrl_dollars" + std::to_string(i), texts.dollars);
        c.set("Ctrl_cents" + std::to_string(i), texts.cents);
    }
    for (int i = 1; i <= 4; ++i)
        c.set("Ctrl_curr" + std::to_string(i) + "_rate", 1.0);
    c.set("Ctrl_fed_rate", 5.0);
    for (const char* f : {"Ctrl_ar_invoiceno", "Ctrl_fa_invoice", "Ctrl_fa_order", "Ctrl_fa_quote",
                          "Ctrl_fa_backorder", "Ctrl_recuring_doc"})
        c.set(f, 1);
    c.set("Ctrl_ApCopies", 1);
    c.set("Ctrl_ArCopies", 1);
    c.set("Ctrl_ar_histo", true);
    c.set("Ctrl_ap_histo", true);
    for (int i = 1; i <= 5; ++i)
        c.set("Ctrl_pmt_name" + std::to_string(i), texts.paymentMethods[static_cast<std::size_t>(i - 1)]);
    c.post();
}

// Characters of a UTF-8 text, as a text field counts them.
std::size_t charCount(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char ch : text)
        n += (ch & 0xC0) != 0x80;
    return n;
}

void checkArguments(const std::string& dataDir, int company, const std::string& name) {
    if (company < 1 || company > kMaxCompany)
        throw SchemaError("company number " + std::to_string(company) + " is not between 1 and " +
                          std::to_string(kMaxCompany));
    if (name.find_first_not_of(" \t") == std::string::npos) throw SchemaError("a company needs a name");
    if (!isDataRoot(dataDir)) throw SchemaError(dataDir + " is not a data directory (run init first)");
}

// Every table and first row of a new company, in the caller's transaction.
void fillCompany(Database& db, const CompanyTexts& texts, Language language) {
    for (const auto& t : companyTables())
        db.createTable(t);
    insertControlRow(db, texts);
    writeDefaultStatementLayouts(db, language);
    for (int p = 1; p <= 13; ++p) {
        Cursor periods(db, "Periods");
        periods.insert();
        periods.set("Period_no", p);
        periods.set("Period_mth", texts.periods[static_cast<std::size_t>(p - 1)]);
        periods.post();
    }
}

void listCompany(Database& root, int company, const std::string& name) {
    Transaction tx(root);
    Cursor comp(root, "comp");
    comp.insert();
    fillBlank(comp);
    comp.set("Comp_Code", company);
    comp.set("Comp_Name", name);
    comp.post();
    tx.commit();
}

// On a server a company's schema marks a creation under way with this table,
// made in the build's transaction and dropped once the company is listed, as
// ".unfinished" does in a directory: an unlisted schema holding it was left
// by a creation cut short between the build and the listing, and nobody uses
// it; an unlisted schema holding other tables only is someone's, and kept.
constexpr const char* kUnfinishedTable = "vm_unfinished";

bool holdsUnfinished(Database& db) {
    return db.tableExists(kUnfinishedTable);
}

// Drops every table of a company's schema, in one transaction.
void dropTables(Database& db) {
    Transaction tx(db);
    for (const auto& t : db.tableNames())
        db.dropTable(t);
    tx.commit();
}

// A company on a server: built in one transaction of its schema (the
// server's DDL is transactional, so a build cut short leaves nothing), then
// listed in another of the data root's. Nothing else of the data root is
// written, so what other workstations change there meanwhile stays.
void createOnServer(Database& root, const std::string& dir, int company, const std::string& name,
                    Language language) {
    Database db(dir);
    const bool unfinished = holdsUnfinished(db);
    if (!unfinished && !db.tableNames().empty())
        throw SchemaError(dir + " already holds tables and is not a listed company");
    try {
        {
            Transaction tx(db, true); // a batch: built whole or not at all
            if (unfinished)
                for (const auto& t : db.tableNames())
                    db.dropTable(t);
            db.createTable(TableDef{kUnfinishedTable, {{"Started", FieldType::Text, 1, false}}, {}, {}});
            fillCompany(db, companyTexts(language), language);
            tx.commit();
        }
        listCompany(root, company, name);
    } catch (...) {
        try {
            if (!companyListed(root, company)) dropTables(db);
        } catch (const EngineError&) {
            // The marker stays: the next creation clears what is left.
        }
        throw;
    }
    db.dropTable(kUnfinishedTable);
}

} // namespace

const CompanyTexts& companyTexts(Language language) {
    return language == Language::French ? kFrench : kEnglish;
}

bool companyListed(Database& root, int company) {
    Cursor comp(root, "comp", true);
    return comp.findKey({Value(company)});
}

void createCompany(const std::string& dataDir, int company, const std::string& name, Language language) {
    checkArguments(dataDir, company, name);
    CreationLock lock(dataDir);
    createCompany(lock, company, name, language);
}

void createCompany(const CreationLock& lock, int company, const std::string& name, Language language) {
    const std::string& dataDir = lock.dataDir();
    checkArguments(dataDir, company, name);

    Database root(dataDir);
    const int nameSize = root.tableDef("comp").field("Comp_Name")->size;
    if (charCount(name) > static_cast<std::size_t>(nameSize))
        throw SchemaError("the company name has " + std::to_string(charCount(name)) +
                          " characters; it can hold at most " + std::to_string(nameSize));
    const std::string dir = companyDirOf(dataDir, company);
    const bool onServer = Database::isServerLocation(dir);
    if (companyListed(root, company)) {
        // Listed last: the creation was over but for this.
        if (onServer) {
            Database db(dir);
            db.dropTable(kUnfinishedTable);
        } else {
            detail::clearUnfinished(dir);
        }
        throw SchemaError("company " + std::to_string(company) + " already exists");
    }
    if (onServer) {
        createOnServer(root, dir, company, name, language);
        return;
    }
    // "Made here" is what mkdir says, under the lock; a directory that was
    // there must be empty, and only what this call put in it is removed.
    std::error_code ec;
    const bool made = fs::create_directory(dir, ec);
    if (ec || !fs::is_directory(dir, ec))
        throw SchemaError(fs::exists(dir, ec) ? dir + " already exists and is not a directory"
                                              : "cannot create " + dir);
    if (!made && detail::hasUnfinished(dir)) {
        // An earlier creation of this company was cut short before it was
        // listed, so nobody uses what it left.
        detail::removeDatabaseFiles(dir);
        detail::clearUnfinished(dir);
    }
    if (!made && !fs::is_empty(dir, ec)) throw SchemaError(dir + " already exists and is not empty");

    const CompanyTexts& texts = companyTexts(language);
    try {
        detail::buildInPlace(dir, [&](Database& db) {
            Transaction tx(db);
            fillCompany(db, texts, language);
            tx.commit();
        });
        listCompany(root, company, name);
        detail::clearUnfinished(dir);
    } catch (...) {
        if (made)
            fs::remove_all(dir, ec);
        else
            for (const auto& entry : fs::directory_iterator(dir, ec))
                fs::remove_all(entry.path(), ec);
        throw;
    }
}

} // namespace vm::schema

namespace vm::schema {

void discardCompany(const CreationLock& lock, int company) {
    const std::string dir = companyDirOf(lock.dataDir(), company);
    {
        Database root(lock.dataDir());
        root.execute("DELETE FROM comp WHERE Comp_Code = ?", {Value(company)});
    }
    if (Database::isServerLocation(dir)) {
        Database db(dir);
        dropTables(db);
        return;
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace vm::schema
