#include "modules/custview/core/ClientStatement.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/rcvaging/core/Aging.h"
#include "schema/Schema.h"

namespace vm::custview {

bool historyKept(Database& company) {
    Cursor ctrl(company, "ctrl", true);
    return ctrl.first() && ctrl.boolean("Ctrl_ar_histo");
}

std::string statementTable(Database& company, bool history) {
    return history && historyKept(company) ? "carh" : "car";
}

int fillStatement(Database& company, int sessionId, const std::string& client, bool history) {
    const std::string work = schema::workTableName("Cartmp", sessionId);
    // The session's own table, filled in one go: a server is sent its rows
    // without waiting for each to be answered.
    Transaction tx(company, false, true);
    if (!company.tableExists(work)) schema::createInquiryWorkTable(company, sessionId);
    company.emptyTable(work);
    Cursor rows(company, statementTable(company, history), true);
    rows.setIndex("Car_client");
    Cursor out(company, work);
    Money balance;
    int n = 0;
    for (bool on = rows.setRange({Value(client)}); on; on = rows.next()) {
        balance += rows.money("Car_amount");
        out.insert();
        out.set("Cartmp_client", rows.value("Car_client"));
        out.set("Cartmp_invoice", rows.value("Car_invoice"));
        out.set("cartmp_ref", rows.value("Car_ref"));
        out.set("Cartmp_date", rows.value("Car_date"));
        out.set("Cartmp_type", rows.value("Car_type"));
        out.set("Cartmp_seq", rows.value("Car_seq"));
        out.set("Cartmp_balance", Value(balance));
        out.post();
        ++n;
    }
    tx.commit();
    return n;
}

std::string statementSql(Database& company, int sessionId, bool history) {
    const std::string ledger = statementTable(company, history);
    const std::string work = schema::workTableName("Cartmp", sessionId);
    return "SELECT l.*, w.\"Cartmp_balance\" FROM " + ledger + " l LEFT JOIN " + work +
           " w ON w.\"Cartmp_client\" = l.\"Car_client\" AND w.\"Cartmp_invoice\" = l.\"Car_invoice\""
           " AND w.\"cartmp_ref\" = l.\"Car_ref\" AND w.\"Cartmp_date\" IS l.\"Car_date\""
           " AND w.\"Cartmp_type\" = l.\"Car_type\" AND w.\"Cartmp_seq\" = l.\"Car_seq\""
           " WHERE l.\"Car_client\" = ?"
           " ORDER BY l.\"Car_invoice\", l.\"Car_ref\", l.\"Car_date\", l.\"Car_type\", l.\"Car_seq\"";
}

std::array<Money, 5> clientBuckets(Database& company, const std::string& client, Date today) {
    aging::Aging limits(company, aging::AgingOptions{});
    std::array<Money, 5> buckets{};
    Cursor rows(company, "car", true);
    rows.setIndex("Car_client");
    std::string invoice;
    Date invoiceDate;
    bool any = false;
    for (bool on = rows.setRange({Value(client)}); on; on = rows.next()) {
        const std::string inv = rows.str("Car_invoice");
        if (!any || inv != invoice) {
            invoice = inv;
            invoiceDate = rows.date("Car_date");
            any = true;
        }
        const int days = invoiceDate.isNull() ? 0 : today.daysSince(invoiceDate);
        buckets[static_cast<std::size_t>(limits.bucketOf(days) - 1)] += rows.money("Car_amount");
    }
    return buckets;
}

} // namespace vm::custview
