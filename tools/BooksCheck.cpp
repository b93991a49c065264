#include "tools/BooksCheck.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <algorithm>
#include <set>

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

std::set<std::string> column(Database& db, const std::string& sql) {
    std::set<std::string> out;
    Query q(db, sql);
    while (q.next())
        out.insert(q.value(0).asString());
    return out;
}

bool blank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// What the windows offer, read once.
struct Lists {
    int currencies = 0; // named foreign currencies: codes 0..currencies
    int priceLists = 0; // named price lists: codes 1..max(1, priceLists)
    std::set<std::string> accounts, banks, terms, territories, salesmen, formats;

    Lists(Database& db, Database& root) {
        accounts = column(db, "SELECT Glm_account FROM glm");
        Query ctrl(db, "SELECT * FROM ctrl");
        if (ctrl.next()) {
            for (int i = 1; i <= 4; ++i)
                currencies += !blank(ctrl.value("Ctrl_curr" + std::to_string(i) + "_name").asString());
            for (int i = 1; i <= 5; ++i) {
                priceLists += !blank(ctrl.value("Ctrl_pl_name" + std::to_string(i)).asString());
                const std::string bank = ctrl.value("Ctrl_bank_accnt" + std::to_string(i)).asString();
                if (accounts.count(bank) && bank != "0") banks.insert(bank);
            }
        }
        Query ivctrl(db, "SELECT * FROM ivctrl");
        if (ivctrl.next())
            for (int i = 6; i <= 9; ++i)
                priceLists += !blank(ivctrl.value("Ivctrl_pl_name" + std::to_string(i)).asString());
        terms = column(root, "SELECT Arterms_code FROM arterms");
        territories = column(root, "SELECT Arterr_code FROM arterr");
        salesmen = column(db, "SELECT Slsm_code FROM slsm");
        formats = column(db, "SELECT Name FROM Fafrm1");
    }
    // 0 or below means "no account".
    bool account(const Value& v) const { return v.asInt() <= 0 || accounts.count(v.asString()); }
};

void checkClients(Database& db, const Lists& l, std::vector<std::string>& out) {
    Query q(db,
            "SELECT Cli_code, Cli_language, Cli_currency, Cli_price_list, Cli_copies, Cli_terms, Cli_terr,"
            " Cli_salesrep, Cli_accnt1, Cli_accnt2, Cli_accnt3, Cli_format1 FROM cli ORDER BY Cli_code");
    while (q.next()) {
        const std::string who = "Client " + q.value(0).asString() + ": ";
        const std::string language = q.value(1).asString();
        if (language != "1" && language != "2")
            out.push_back(who + "product-description language " + quoted(language) + " is not 1 or 2");
        const auto currency = q.value(2).asInt();
        if (currency < 0 || currency > l.currencies)
            out.push_back(who + "currency " + std::to_string(currency) + " is not between 0 and " +
                          std::to_string(l.currencies));
        const auto priceList = q.value(3).asInt();
        if (priceList < 1 || priceList > std::max(1, l.priceLists))
            out.push_back(who + "price list " + std::to_string(priceList) + " is not between 1 and " +
                          std::to_string(std::max(1, l.priceLists)));
        const auto copies = q.value(4).asInt();
        if (copies < 1 || copies > 10)
            out.push_back(who + "copies " + std::to_string(copies) + " is not between 1 and 10");
        if (!l.terms.count(q.value(5).asString()))
            out.push_back(who + "terms code " + q.value(5).asString() + " is not on file");
        const std::string territory = q.value(6).asString();
        if (!territory.empty() && !l.territories.count(territory))
            out.push_back(who + "territory " + quoted(territory) + " is not on file");
        if (!l.salesmen.count(q.value(7).asString()))
            out.push_back(who + "sales rep " + quoted(q.value(7).asString()) + " is not on file");
        for (int i = 0; i < 3; ++i)
            if (!l.account(q.value(8 + i)))
                out.push_back(who + "sales account " + std::to_string(i + 1) + " (" +
                              q.value(8 + i).asString() + ") is not in the chart");
        const std::string format = q.value(11).asString();
        if (!format.empty() && !l.formats.count(format))
            out.push_back(who + "invoice format " + quoted(format) + " is not on file");
    }
    Query billTo(db, "SELECT c.Cli_code, c.Cli_charge_to FROM cli c WHERE c.Cli_charge_to <> ''"
                     " AND NOT EXISTS (SELECT 1 FROM cli b WHERE b.Cli_code = c.Cli_charge_to) ORDER BY 1");
    while (billTo.next())
        out.push_back("Client " + billTo.value(0).asString() + ": bill-to client " +
                      quoted(billTo.value(1).asString()) + " is not on file");
}

void checkSuppliers(Database& db, const Lists& l, std::vector<std::string>& out) {
    Query q(db, "SELECT Sup_code, Sup_language, Sup_currency, Sup_copies, Sup_bank_account, Sup_accnt1,"
                " Sup_accnt2, Sup_accnt3 FROM sup ORDER BY Sup_code");
    while (q.next()) {
        const std::string who = "Supplier " + q.value(0).asString() + ": ";
        const std::string language = q.value(1).asString();
        if (!language.empty() && language != "1" && language != "2")
            out.push_back(who + "language " + quoted(language) + " is not 1 or 2");
        const auto currency = q.value(2).asInt();
        if (currency < 0 || currency > l.currencies)
            out.push_back(who + "currency " + std::to_string(currency) + " is not between 0 and " +
                          std::to_string(l.currencies));
        const auto copies = q.value(3).asInt();
        if (copies < 1 || copies > 10)
            out.push_back(who + "copies " + std::to_string(copies) + " is not between 1 and 10");
        // 0 is "none chosen", which the window keeps when it offers no bank.
        const std::string bank = q.value(4).asString();
        if (q.value(4).asInt() != 0 && !l.banks.count(bank))
            out.push_back(who + "bank account " + bank +
                          " is not one of the company's bank accounts in the chart");
        for (int i = 0; i < 3; ++i)
            if (!l.account(q.value(5 + i)))
                out.push_back(who + "purchase account " + std::to_string(i + 1) + " (" +
                              q.value(5 + i).asString() + ") is not in the chart");
    }
}

void checkLedgers(Database& db, std::vector<std::string>& out) {
    for (const auto& [table, what] :
         {std::pair{"car", "Receivables"}, std::pair{"carh", "Receivables history"},
          std::pair{"cap", "Payables"}, std::pair{"caph", "Payables history"}}) {
        const std::string f = std::string(table).substr(0, 3) == "car" ? "Car_type" : "Cap_type";
        const std::string t = table;
        Query q(db, "SELECT " + f + ", COUNT(*) FROM " + t + " WHERE " + f +
                        " NOT IN ('1', '2', '3', '4', '5') GROUP BY 1 ORDER BY 1");
        while (q.next())
            out.push_back(std::string(what) + " ledger: " + q.value(1).asString() + " rows of unknown type " +
                          quoted(q.value(0).asString()));
    }
    // A supplier's invoice number is entered once: aging and payments find
    // an invoice by it.
    Query dup(db, "SELECT s, i, COUNT(*) FROM (SELECT Cap_supplier AS s, Cap_invoice AS i FROM cap"
                  " WHERE Cap_type = '1' UNION ALL SELECT Cap_supplier, Cap_invoice FROM caph"
                  " WHERE Cap_type = '1') GROUP BY s, i HAVING COUNT(*) > 1 ORDER BY s, i");
    while (dup.next())
        out.push_back("Supplier " + dup.value(0).asString() + ": invoice " + quoted(dup.value(1).asString()) +
                      " entered " + dup.value(2).asString() + " times");
}

} // namespace

std::vector<std::string> checkCodes(Database& companyDb, Database& dataRoot) {
    std::vector<std::string> out;
    const Lists lists(companyDb, dataRoot);
    checkClients(companyDb, lists, out);
    checkSuppliers(companyDb, lists, out);
    checkLedgers(companyDb, out);
    return out;
}

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
