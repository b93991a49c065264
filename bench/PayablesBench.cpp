// The two payables journals on a company with a large supplier ledger:
// posting purchases and disbursements through their cores, and building a
// supplier's open-invoice list, each beside the same rows written or read
// with plain SQLite statements on the same file in the same run.
#include "common/journal/ControlAccounts.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/cashdisb/core/DisbursementDocument.h"
#include "modules/cashdisb/core/DisbursementEntry.h"
#include "modules/cashdisb/core/DisbursementPosting.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchasePosting.h"
#include "schema/Schema.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int32_t kBank = 1000, kPayables = 2100, kSupplies = 5100;
constexpr int kSuppliers = 1000;
constexpr int kPeriod = 3;
const Date kDay = Date::fromYmd(2026, 3, 16);

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string supplierCode(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "S%05d", i);
    return buf;
}

// A prepared statement on the raw connection, reset after each step.
class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt& text(int i, const std::string& s) {
        sqlite3_bind_text(st_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& num(int i, std::int64_t v) {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    // Steps once; true when a row came back (read with col()).
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw std::runtime_error("sqlite step failed");
        return rc == SQLITE_ROW;
    }
    std::int64_t col(int i) { return sqlite3_column_int64(st_, i); }
    void done() {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
    sqlite3_stmt* get() { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
};

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void report(const char* what, double engine, double raw) {
    std::printf("%-44s engine %8.3f s   raw SQLite %8.3f s   ratio %.2fx\n", what, engine, raw, engine / raw);
}

} // namespace

int main(int argc, char** argv) {
    const long long capRows = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const int documents = argc > 2 ? std::atoi(argv[2]) : 1000;

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-payables-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string dataDir = schema::dataDirOf(tmpl);
    schema::createDataRoot(dataDir);
    schema::createCompany(dataDir, 1, "Payables bench");
    Session session;
    Database& db = session.database(schema::companyDirOf(dataDir, 1));
    Database& root = session.database(dataDir);
    sqlite3* raw = db.rawHandle();

    // Chart, control row, suppliers, then the ledger: every supplier gets its
    // share of invoices, S00000 exactly 1,000 rows for the open-invoice list.
    auto t = Clock::now();
    {
        Transaction tx(db);
        db.execute("INSERT INTO glm (Glm_account, Glm_Description, Glm_summarize, Glm_currency) VALUES "
                   "(1000, 'Bank', 'N', 0), (2100, 'Accounts payable', 'N', 0), (5100, 'Supplies', 'N', 0)");
        db.execute("UPDATE ctrl SET Ctrl_ap_period = 3, Ctrl_ap_accnt = 2100, Ctrl_bank_accnt1 = 1000,"
                   " Ctrl_ap_purch_accnt1 = 5100, Ctrl_ap_disb_accnt1 = 1000");
        Stmt sup(raw, "INSERT INTO sup (Sup_code, Sup_name, Sup_du_days, Sup_currency, Sup_bank_account,"
                      " Sup_current_bal, Sup_last_purch, Sup_purch_mth, Sup_purch_ytd) VALUES (?, ?, 30, 0, "
                      "0, 0, 0, 0, 0)");
        for (int i = 0; i < kSuppliers; ++i) {
            sup.text(1, supplierCode(i)).text(2, "Supplier " + std::to_string(i)).step();
            sup.done();
        }
        Stmt cap(raw, "INSERT INTO cap (Cap_supplier, Cap_invoice, Cap_ref, Cap_date, Cap_type, Cap_du_date,"
                      " Cap_amount, Cap_memo, Cap_user, Cap_stamp) VALUES (?, ?, '', '2026-02-10', '1', "
                      "'2026-03-12', ?,"
                      " '', 'BENCH', '2026-02-10 09:00:00')");
        for (long long k = 0; k < capRows; ++k) {
            const int s = k < 1000 ? 0 : static_cast<int>(1 + k % (kSuppliers - 1));
            cap.text(1, supplierCode(s))
                .text(2, "I" + std::to_string(k))
                .num(3, 1000000 + (k % 977) * 100)
                .step();
            cap.done();
        }
        db.execute("UPDATE sup SET Sup_current_bal = (SELECT COALESCE(SUM(Cap_amount), 0) FROM cap"
                   " WHERE Cap_supplier = Sup_code)");
        tx.commit();
    }
    std::printf("company: %d suppliers, %lld cap rows built in %.1f s\n", kSuppliers, capRows, seconds(t));

    {
        // The postings and the entry keep cursors: they go before the session.
        const journal::ControlAccounts accounts = journal::ControlAccounts::load(db);

        // --- purchases: one invoice of two lines each, its own transaction.
        purchjrnl::PurchasePosting purchases(db, accounts);
        purchases.setUser("BENCH");
        t = Clock::now();
        for (int i = 0; i < documents; ++i) {
            purchjrnl::PurchaseDocument d;
            d.supplier = supplierCode(1 + i % (kSuppliers - 1));
            d.invoice = "P" + std::to_string(i);
            d.date = kDay;
            d.dueDate = kDay.addDays(30);
            d.lines[0] = {kPayables, "Accounts payable", {}, Money::fromCents(12345)};
            d.lines[1] = {kSupplies, "Supplies", Money::fromCents(12345), {}};
            purchases.postOnce(d, kPeriod);
        }
        const double purchaseEngine = seconds(t);

        t = Clock::now();
        {
            Stmt findH(
                raw,
                "SELECT rowid FROM tjlh WHERE Tjlh_period = ? AND Tjlh_journal = 3 AND Tjlh_reference = ?"
                " AND Tjlh_date = '2026-03-16'");
            Stmt addH(raw,
                      "INSERT INTO tjlh (Tjlh_period, Tjlh_journal, Tjlh_reference, Tjlh_date, Tjlh_type,"
                      " Tjlh_tot_debit, Tjlh_tot_credit, Tjlh_memo, Tjlh_user, Tjlh_stamp)"
                      " VALUES (?, 3, ?, '2026-03-16', '', ?, ?, ?, 'BENCH', '2026-03-16 10:00:00')");
            Stmt addD(
                raw,
                "INSERT INTO tjld (Tjld_period, Tjld_journal, Tjld_reference, Tjld_date, Tjld_account,"
                " Tjld_debit, Tjld_credit, Tjld_description) VALUES (?, 3, ?, '2026-03-16', ?, ?, ?, ?)");
            Stmt getSup(raw,
                        "SELECT Sup_current_bal, Sup_purch_mth, Sup_purch_ytd FROM sup WHERE Sup_code = ?");
            Stmt setSup(raw, "UPDATE sup SET Sup_current_bal = ?, Sup_purch_mth = ?, Sup_purch_ytd = ?,"
                             " Sup_last_purch = ?, Sup_date_last_purch = '2026-03-16' WHERE Sup_code = ?");
            Stmt addCap(
                raw, "INSERT INTO cap (Cap_supplier, Cap_invoice, Cap_ref, Cap_date, Cap_type, Cap_du_date,"
                     " Cap_amount, Cap_memo, Cap_user, Cap_stamp) VALUES (?, ?, '', '2026-03-16', '1',"
                     " '2026-04-15', ?, '', 'BENCH', '2026-03-16 10:00:00')");
            Stmt addRec(
                raw, "INSERT INTO apori (Reference, Supplier, Date, Due_date, Direct_cash_purchase, Trx_type,"
                     " Account1, Credit1, Account2, Debit2, Stamp, User, DebitCredit)"
                     " VALUES (?, ?, '2026-03-16', '2026-04-15', 0, '1', 2100, ?, 5100, ?,"
                     " '2026-03-16 10:00:00', 'BENCH', 0)");
            for (int i = 0; i < documents; ++i) {
                const std::string s = supplierCode(1 + i % (kSuppliers - 1));
                const std::string inv = "Q" + std::to_string(i);
                const std::int64_t a = Money::fromCents(12345).raw();
                exec(raw, "BEGIN IMMEDIATE");
                getSup.text(1, s);
                getSup.step();
                const std::int64_t bal = getSup.col(0), mth = getSup.col(1), ytd = getSup.col(2);
                getSup.done();
                findH.num(1, kPeriod).text(2, inv);
                const bool found = findH.step();
                findH.done();
                if (!found) {
                    addH.num(1, kPeriod).text(2, inv).num(3, a).num(4, a).text(5, "Supplier").step();
                    addH.done();
                }
                addD.num(1, kPeriod)
                    .text(2, inv)
                    .num(3, kPayables)
                    .num(4, 0)
                    .num(5, a)
                    .text(6, "Accounts payable")
                    .step();
                addD.done();
                addD.num(1, kPeriod)
                    .text(2, inv)
                    .num(3, kSupplies)
                    .num(4, a)
                    .num(5, 0)
                    .text(6, "Supplies")
                    .step();
                addD.done();
                setSup.num(1, bal + a).num(2, mth + a).num(3, ytd + a).num(4, a).text(5, s).step();
                setSup.done();
                addCap.text(1, s).text(2, inv).num(3, a).step();
                addCap.done();
                addRec.text(1, inv).text(2, s).num(3, a).num(4, a).step();
                addRec.done();
                exec(raw, "COMMIT");
            }
        }
        const double purchaseRaw = seconds(t);

        // --- disbursements: one invoice paid in full, A/P against the bank.
        cashdisb::DisbursementPosting disbursements(db, accounts);
        disbursements.setUser("BENCH");
        t = Clock::now();
        for (int i = 0; i < documents; ++i) {
            cashdisb::DisbursementDocument d;
            d.supplier = supplierCode(1 + i % (kSuppliers - 1));
            d.reference = "C" + std::to_string(i);
            d.date = kDay;
            const Money paid = Money::fromCents(12345);
            d.invoices = {{"P" + std::to_string(i), kDay, kDay.addDays(30), paid, paid}};
            d.lines = {{kPayables, "Accounts payable", paid, {}}, {kBank, "Bank", {}, paid}};
            disbursements.postOnce(d, kPeriod);
        }
        const double disbursementEngine = seconds(t);

        t = Clock::now();
        {
            Stmt findH(
                raw,
                "SELECT rowid FROM tjlh WHERE Tjlh_period = ? AND Tjlh_journal = 4 AND Tjlh_reference = ?"
                " AND Tjlh_date = '2026-03-16'");
            Stmt addH(
                raw, "INSERT INTO tjlh (Tjlh_period, Tjlh_journal, Tjlh_reference, Tjlh_date, Tjlh_type,"
                     " Tjlh_tot_debit, Tjlh_tot_credit, Tjlh_memo, Tjlh_user, Tjlh_stamp)"
                     " VALUES (?, 4, ?, '2026-03-16', '', ?, ?, 'Supplier', 'BENCH', '2026-03-16 10:00:00')");
            Stmt addD(
                raw,
                "INSERT INTO tjld (Tjld_period, Tjld_journal, Tjld_reference, Tjld_date, Tjld_account,"
                " Tjld_debit, Tjld_credit, Tjld_description) VALUES (?, 4, ?, '2026-03-16', ?, ?, ?, ?)");
            Stmt addHdr(
                raw,
                "INSERT INTO cdorihdr (Reference, Supplier, Date, Not_to_sup, Comments, Account1, Debit1,"
                " Credit1, Account2, Debit2, Credit2, Stamp, User) VALUES (?, ?, '2026-03-16', 0, '', 2100, "
                "?,"
                " 0, 1000, 0, ?, '2026-03-16 10:00:00', 'BENCH')");
            Stmt addDet(
                raw, "INSERT INTO cdoridet (Reference, Supplier, Date, Header_seq, Invoice, Invoice_date,"
                     " Invoice_due_date, Invoice_amount, Invoice_payment) VALUES (?, ?, '2026-03-16', ?, ?,"
                     " '2026-03-16', '2026-04-15', ?, ?)");
            Stmt addConcil(
                raw,
                "INSERT INTO concil (Concil_account, Concil_type, Concil_reference, Concil_fou_cli_emp,"
                " Concil_nom, Concil_date, Concil_montant, Concil_tag) VALUES (1000, 2, ?, ?, 'Supplier',"
                " '2026-03-16', ?, 0)");
            Stmt addCap(
                raw, "INSERT INTO cap (Cap_supplier, Cap_invoice, Cap_ref, Cap_date, Cap_type, Cap_du_date,"
                     " Cap_amount, Cap_memo, Cap_user, Cap_stamp) VALUES (?, ?, ?, '2026-03-16', '2',"
                     " '2026-04-15', ?, '', 'BENCH', '2026-03-16 10:00:00')");
            Stmt getSup(raw, "SELECT Sup_current_bal FROM sup WHERE Sup_code = ?");
            Stmt setSup(
                raw,
                "UPDATE sup SET Sup_current_bal = ?, Sup_date_last_pmt = '2026-03-16' WHERE Sup_code = ?");
            for (int i = 0; i < documents; ++i) {
                const std::string s = supplierCode(1 + i % (kSuppliers - 1));
                const std::string ref = "D" + std::to_string(i);
                const std::int64_t a = Money::fromCents(12345).raw();
                exec(raw, "BEGIN IMMEDIATE");
                getSup.text(1, s);
                getSup.step();
                const std::int64_t bal = getSup.col(0);
                getSup.done();
                addHdr.text(1, ref).text(2, s).num(3, a).num(4, a).step();
                addHdr.done();
                const std::int64_t seq = sqlite3_last_insert_rowid(raw);
                findH.num(1, kPeriod).text(2, ref);
                const bool found = findH.step();
                findH.done();
                if (!found) {
                    addH.num(1, kPeriod).text(2, ref).num(3, a).num(4, a).step();
                    addH.done();
                }
                addD.num(1, kPeriod)
                    .text(2, ref)
                    .num(3, kPayables)
                    .num(4, a)
                    .num(5, 0)
                    .text(6, "Accounts payable")
                    .step();
                addD.done();
                addD.num(1, kPeriod).text(2, ref).num(3, kBank).num(4, 0).num(5, a).text(6, "Bank").step();
                addD.done();
                addConcil.text(1, ref).text(2, s).num(3, -a).step();
                addConcil.done();
                addCap.text(1, s).text(2, "Q" + std::to_string(i)).text(3, ref).num(4, -a).step();
                addCap.done();
                addDet.text(1, ref)
                    .text(2, s)
                    .num(3, seq)
                    .text(4, "Q" + std::to_string(i))
                    .num(5, a)
                    .num(6, a)
                    .step();
                addDet.done();
                setSup.num(1, bal - a).text(2, s).step();
                setSup.done();
                exec(raw, "COMMIT");
            }
        }
        const double disbursementRaw = seconds(t);

        // --- the open-invoice list of the supplier with 1,000 ledger rows.
        constexpr int kLists = 20;
        cashdisb::DisbursementEntry entry(db, accounts, 3);
        entry.createWorkTables(root);
        const auto supplier = entry.findSupplier(supplierCode(0));
        std::size_t shown = 0;
        t = Clock::now();
        for (int k = 0; k < kLists; ++k) {
            entry.startSupplier(*supplier, "");
            shown = entry.invoices().size();
        }
        const double listEngine = seconds(t) / kLists;

        std::size_t rawShown = 0;
        t = Clock::now();
        {
            Stmt empty(raw, "DELETE FROM car_temp3");
            Stmt fill(
                raw,
                "INSERT INTO car_temp3 (Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_du_date,"
                " Car_amount, Car_memo, Car_Payment) SELECT Cap_supplier, Cap_invoice, '', MIN(Cap_date), "
                "'2',"
                " MIN(Cap_du_date), SUM(Cap_amount), '', 0 FROM cap WHERE Cap_supplier = ?"
                " GROUP BY Cap_invoice ORDER BY Cap_invoice");
            Stmt read(
                raw,
                "SELECT rowid, Car_invoice, Car_date, Car_du_date, Car_amount, Car_Payment FROM car_temp3"
                " ORDER BY Car_invoice");
            for (int k = 0; k < kLists; ++k) {
                exec(raw, "BEGIN IMMEDIATE");
                empty.step();
                empty.done();
                fill.text(1, supplierCode(0)).step();
                fill.done();
                exec(raw, "COMMIT");
                rawShown = 0;
                while (read.step())
                    ++rawShown;
                read.done();
            }
        }
        const double listRaw = seconds(t) / kLists;

        std::printf(
            "\n%d purchases, %d disbursements, open-invoice list of %zu invoices (raw %zu), %lld cap rows\n",
            documents, documents, shown, rawShown, capRows);
        report("post purchases (total)", purchaseEngine, purchaseRaw);
        report("post disbursements (total)", disbursementEngine, disbursementRaw);
        report("open-invoice list, 1,000 ledger rows (each)", listEngine, listRaw);
    }

    session.closeAll();
    std::error_code ec;
    std::filesystem::remove_all(tmpl, ec);
    return 0;
}
