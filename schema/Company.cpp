#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Schema.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vm::schema {
namespace {

const char* const kMonths[] = {"January",  "February", "March",      "April",     "May",
                               "June",     "July",     "August",     "September", "October",
                               "November", "December", "Adjustments"};

// The control row of a new company: twelve periods starting at period 1,
// aging columns of 30-day steps, cheque words for the home currency and
// every counter at 1. Accounts stay 0 until the chart is set up.
void insertControlRow(Database& db) {
    Cursor c(db, "ctrl");
    c.insert();
    fillBlank(c);
    c.set("Ctrl_periods", 12);
    for (const char* f : {"Ctrl_gl_period", "Ctrl_ar_period", "Ctrl_ap_period", "Ctrl_fa_period"})
        c.set(f, 1);
    c.set("Ctrl_record_no", 1);
    c.set("Ctrl_date_fmt", 1);
    const char* const dnames[] = {"Current", "31-60", "61-90", "91-120", "Over 120"};
    for (int i = 1; i <= 5; ++i) {
        const std::string n = std::to_string(i);
        c.set("Ctrl_ar_days" + n, 30 * i);
        c.set("Ctrl_ap_days" + n, 30 * i);
        c.set("Ctrl_ar_dname" + n, dnames[i - 1]);
        c.set("Ctrl_ap_dname" + n, dnames[i - 1]);
        c.set("Ctrl_ap_chqno" + n, 1);
    }
    for (int i = 1; i <= 5; ++i) {
        c.set("Ctrl_dollars" + std::to_string(i), "Dollars");
        c.set("Ctrl_cents" + std::to_string(i), "Cents");
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
    const char* const methods[] = {"Cash", "Cheque", "Visa", "MasterCard", "Debit card"};
    for (int i = 1; i <= 5; ++i)
        c.set("Ctrl_pmt_name" + std::to_string(i), methods[i - 1]);
    c.post();
}

bool companyListed(Database& root, int company) {
    Cursor comp(root, "comp", true);
    return comp.findKey({Value(company)});
}

} // namespace

void createCompany(const std::string& dataDir, int company, const std::string& name) {
    if (company < 1 || company > kMaxCompany)
        throw SchemaError("company number " + std::to_string(company) + " is not between 1 and " +
                          std::to_string(kMaxCompany));
    if (name.find_first_not_of(" \t") == std::string::npos) throw SchemaError("a company needs a name");
    if (!isDataRoot(dataDir)) throw SchemaError(dataDir + " is not a data directory (run init first)");

    Database root(dataDir);
    if (companyListed(root, company))
        throw SchemaError("company " + std::to_string(company) + " already exists");
    const fs::path dir(companyDirOf(dataDir, company));
    std::error_code ec;
    if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec)))
        throw SchemaError(dir.string() + " already exists and is not empty");

    const bool made = !fs::exists(dir, ec);
    try {
        fs::create_directory(dir, ec);
        if (ec) throw SchemaError("cannot create " + dir.string() + ": " + ec.message());
        {
            Database db(dir.string());
            Transaction tx(db);
            for (const auto& t : companyTables())
                db.createTable(t);
            insertControlRow(db);
            for (int p = 1; p <= 13; ++p) {
                Cursor periods(db, "Periods");
                periods.insert();
                periods.set("Period_no", p);
                periods.set("Period_mth", kMonths[p - 1]);
                periods.post();
            }
            tx.commit();
        }
        Transaction tx(root);
        Cursor comp(root, "comp");
        comp.insert();
        fillBlank(comp);
        comp.set("Comp_Code", company);
        comp.set("Comp_Name", name);
        comp.post();
        tx.commit();
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
