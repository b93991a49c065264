#include "modules/monthend/core/MonthEnd.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Money.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace vm::monthend {
namespace {

// The rows of `n` invoices of one client that the cut-off takes in; the
// parameters are the client, the invoices, then the cut-off. Blank dates
// sort before every date, as in the ledger's index.
std::string invoiceRows(std::size_t n) {
    std::string marks = "?";
    for (std::size_t i = 1; i < n; ++i)
        marks += ", ?";
    return "FROM car WHERE Car_client = ? AND Car_invoice IN (" + marks +
           ") AND (Car_date IS NULL OR Car_date <= ?)";
}

// A client's paid invoices go to history and out of the ledger this many
// at a time: one statement each way a group, not one an invoice, which on
// a server is one round trip instead of many.
constexpr std::size_t kGroup = 64;

struct Cancelled {};

Cursor& controlRow(Cursor& ctrl) {
    if (!ctrl.first()) throw EngineError(errc::kRecordNotFound, "The control row is missing (ctrl)");
    return ctrl;
}

// "INSERT INTO carh (...) SELECT ...": every field of car that carh has, in
// field order, except the auto-increment, which carh numbers itself (car's
// numbers are not unique over time). The rows follow, in the ledger's order.
std::string historyCopy(Database& db) {
    const TableDef car = db.tableDef("car");
    const TableDef carh = db.tableDef("carh");
    std::string cols;
    for (const FieldDef& f : car.fields) {
        if (f.type == FieldType::AutoInc || carh.fieldIndex(f.name) < 0) continue;
        cols += (cols.empty() ? "\"" : ", \"") + f.name + "\"";
    }
    return "INSERT INTO carh (" + cols + ") SELECT " + cols + " ";
}

// Sets a money field of every row of a table to 0, row by row so that a row
// held by another workstation is met as a lock. Returns the rows visited.
std::int64_t resetField(Database& db, const char* table, const char* field,
                        const std::function<void()>& perRow = {}) {
    Cursor c(db, table);
    std::int64_t n = 0;
    for (bool more = c.first(); more; more = c.next()) {
        if (!c.money(field).isZero()) {
            c.edit();
            c.set(field, Money());
            c.post();
        }
        ++n;
        if (perRow) perRow();
    }
    return n;
}

} // namespace

PeriodState MonthEnd::readPeriod(Database& company) {
    Cursor ctrl(company, "ctrl", true);
    controlRow(ctrl);
    PeriodState s;
    s.period = static_cast<int>(ctrl.integer("Ctrl_ar_period"));
    s.periods = static_cast<int>(ctrl.integer("Ctrl_periods"));
    s.history = ctrl.boolean("Ctrl_ar_histo");
    return s;
}

std::optional<MonthEndResult> MonthEnd::run(Date cutoff) {
    if (cutoff.isNull()) throw InvalidCutoff();

    Transaction tx(db_, /*immediate=*/true);
    const PeriodState state = readPeriod(db_);
    const std::string copyHead = state.history ? historyCopy(db_) : std::string();
    std::vector<std::string> clients;
    {
        Query q(db_, "SELECT Cli_code FROM cli ORDER BY Cli_code");
        while (q.next())
            clients.push_back(q.text(0));
    }
    const std::int64_t total = 2 * static_cast<std::int64_t>(clients.size());
    std::int64_t done = 0;
    auto step = [&] {
        ++done;
        if (progress_ && !progress_(done, total)) throw Cancelled{};
    };

    MonthEndResult result;
    result.oldPeriod = state.period;
    try {
        // Pass 1: the fully paid invoices of each client. The client's rows
        // are read whole before any is deleted.
        std::vector<std::string> paid;
        for (const std::string& client : clients) {
            paid.clear();
            {
                Query rows(db_,
                           "SELECT Car_invoice, Car_amount FROM car WHERE Car_client = ? AND "
                           "(Car_date IS NULL OR Car_date <= ?) "
                           "ORDER BY Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_seq",
                           {Value(client), Value(cutoff)});
                bool open = false;
                std::string invoice;
                Money sum;
                while (rows.next()) {
                    std::string inv = rows.text(0);
                    if (open && inv == invoice) {
                        sum += rows.money(1);
                        continue;
                    }
                    if (open && sum.isZero()) paid.push_back(invoice);
                    invoice = std::move(inv);
                    sum = rows.money(1);
                    open = true;
                }
                if (open && sum.isZero()) paid.push_back(invoice);
            }
            for (std::size_t at = 0; at < paid.size(); at += kGroup) {
                const std::size_t n = std::min(kGroup, paid.size() - at);
                // Rounded up to a power of two, the last invoice repeated: a
                // few statement texts serve every group.
                std::size_t size = 1;
                while (size < n)
                    size *= 2;
                std::vector<Value> key{Value(client)};
                for (std::size_t i = 0; i < size; ++i)
                    key.emplace_back(paid[at + std::min(i, n - 1)]);
                key.emplace_back(cutoff);
                const std::string rowsSql = invoiceRows(size);
                if (state.history)
                    result.rowsToHistory += db_.execute(
                        copyHead + rowsSql + " ORDER BY Car_invoice, Car_ref, Car_date, Car_type, Car_seq",
                        key);
                result.rowsDeleted += db_.execute("DELETE " + rowsSql, key);
            }
            result.invoicesPurged += static_cast<std::int64_t>(paid.size());
            step();
        }

        // Pass 2: month-to-date sales of every client.
        result.clientsReset = resetField(db_, "cli", "Cli_sales_mth", step);
        // A client added meanwhile cannot exist (the run holds the write
        // lock), but the bar must still end full.
        while (done < total)
            step();

        Cursor ctrl(db_, "ctrl");
        controlRow(ctrl).edit();
        result.newPeriod = state.period < state.periods ? state.period + 1 : state.period;
        if (result.newPeriod != state.period) ctrl.set("Ctrl_ar_period", result.newPeriod);
        ctrl.post();

        result.salesmenReset = resetField(db_, "slsm", "Slsm_vente_mois");
    } catch (const Cancelled&) {
        return std::nullopt; // the transaction rolls back
    }
    tx.commit();
    return result;
}

} // namespace vm::monthend
