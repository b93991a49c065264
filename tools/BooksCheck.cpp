#include "tools/BooksCheck.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::admin {
namespace {

// Compares each party's stored balance with the sum of its ledger rows by
// walking both in code order at once, so that large ledgers are summed by
// the database and never held in memory.
void compareBalances(Database& db, std::vector<std::string>& out, const char* what,
                     const std::string& partySql, const std::string& ledgerSql) {
    Query parties(db, partySql);
    Query ledger(db, ledgerSql);
    bool hasParty = parties.next();
    bool hasLedger = ledger.next();
    while (hasParty || hasLedger) {
        const std::string pc = hasParty ? parties.value(0).asString() : std::string();
        const std::string lc = hasLedger ? ledger.value(0).asString() : std::string();
        if (hasParty && (!hasLedger || pc < lc)) {
            const Money bal = parties.money(1);
            if (!bal.isZero())
                out.push_back(std::string(what) + " " + pc + ": balance " + bal.toExactString() +
                              ", ledger 0.0000 (no ledger rows)");
            hasParty = parties.next();
        } else if (hasLedger && (!hasParty || lc < pc)) {
            out.push_back(std::string(what) + " " + lc + " is not on file but has ledger rows totalling " +
                          ledger.money(1).toExactString());
            hasLedger = ledger.next();
        } else {
            const Money bal = parties.money(1);
            const Money sum = ledger.money(1);
            if (bal != sum)
                out.push_back(std::string(what) + " " + pc + ": balance " + bal.toExactString() +
                              ", ledger " + sum.toExactString() + " (difference " +
                              (bal - sum).toExactString() + ")");
            hasParty = parties.next();
            hasLedger = ledger.next();
        }
    }
}

std::string journalKey(Query& q) {
    return "period " + q.value(0).asString() + ", journal " + q.value(1).asString() + ", reference \"" +
           q.value(2).asString() + "\", date " + q.value(3).asString();
}

void compareJournal(Database& db, std::vector<std::string>& out) {
    Query headers(
        db,
        "SELECT h.Tjlh_period, h.Tjlh_journal, h.Tjlh_reference, h.Tjlh_date,"
        " COALESCE(h.Tjlh_tot_debit, 0) AS hd, COALESCE(h.Tjlh_tot_credit, 0) AS hc,"
        " COALESCE(d.deb, 0) AS dd, COALESCE(d.cred, 0) AS dc"
        " FROM tjlh h LEFT JOIN (SELECT Tjld_period AS p, Tjld_journal AS j, Tjld_reference AS r,"
        " Tjld_date AS dt, SUM(Tjld_debit) AS deb, SUM(Tjld_credit) AS cred FROM tjld"
        " GROUP BY Tjld_period, Tjld_journal, Tjld_reference, Tjld_date) d"
        " ON d.p = h.Tjlh_period AND d.j = h.Tjlh_journal AND d.r = h.Tjlh_reference AND d.dt IS h.Tjlh_date"
        " WHERE COALESCE(h.Tjlh_tot_debit, 0) <> COALESCE(d.deb, 0)"
        " OR COALESCE(h.Tjlh_tot_credit, 0) <> COALESCE(d.cred, 0)"
        " OR COALESCE(h.Tjlh_tot_debit, 0) <> COALESCE(h.Tjlh_tot_credit, 0)"
        " ORDER BY 1, 2, 3, 4");
    while (headers.next()) {
        const Money hd = headers.money(4), hc = headers.money(5), dd = headers.money(6),
                    dc = headers.money(7);
        std::string line = "Journal entry " + journalKey(headers) + ":";
        if (hd != dd || hc != dc)
            line += " header totals " + hd.toExactString() + " / " + hc.toExactString() + ", lines " +
                    dd.toExactString() + " / " + dc.toExactString();
        if (hd != hc)
            line += std::string(hd != dd || hc != dc ? ";" : "") + " debits " + hd.toExactString() +
                    " do not equal credits " + hc.toExactString();
        out.push_back(line);
    }
    Query orphans(
        db, "SELECT d.Tjld_period, d.Tjld_journal, d.Tjld_reference, d.Tjld_date, COUNT(*) FROM tjld d"
            " WHERE NOT EXISTS (SELECT 1 FROM tjlh h WHERE h.Tjlh_period = d.Tjld_period"
            " AND h.Tjlh_journal = d.Tjld_journal AND h.Tjlh_reference = d.Tjld_reference"
            " AND h.Tjlh_date IS d.Tjld_date)"
            " GROUP BY d.Tjld_period, d.Tjld_journal, d.Tjld_reference, d.Tjld_date ORDER BY 1, 2, 3, 4");
    while (orphans.next())
        out.push_back("Journal lines without a header: " + journalKey(orphans) + " (" +
                      orphans.value(4).asString() + " lines)");
}

} // namespace

std::vector<std::string> checkBooks(Database& companyDb) {
    std::vector<std::string> out;
    compareBalances(companyDb, out, "Client", "SELECT Cli_code, Cli_current_bal FROM cli ORDER BY Cli_code",
                    "SELECT Car_client, SUM(Car_amount) FROM car GROUP BY Car_client ORDER BY Car_client");
    compareBalances(
        companyDb, out, "Supplier", "SELECT Sup_code, Sup_current_bal FROM sup ORDER BY Sup_code",
        "SELECT Cap_supplier, SUM(Cap_amount) FROM cap GROUP BY Cap_supplier ORDER BY Cap_supplier");
    compareJournal(companyDb, out);
    return out;
}

} // namespace vm::admin
