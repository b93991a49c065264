#include "modules/monthend/core/MonthEnd.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Money.h"

#include <string>
#include <vector>

namespace vm::monthend {
namespace {

// The rows of one invoice of one client that the cut-off takes in. Blank
// dates sort before every date, as in the ledger's index.
constexpr const char* kInvoiceRows =
    "FROM car WHERE Car_client = ? AND Car_invoice = ? AND (Car_date IS NULL OR Car_date <= ?)";

struct Cancelled {};

Cursor& controlRow(Cursor& ctrl) {
    if (!ctrl.first()) throw EngineError(errc::kRecordNotFound, "The control row is missing (ctrl)");
    return ctrl;
}

// "INSERT INTO carh (...) SELECT ... FROM car WHERE <one invoice>": every
// field of car that carh has, in field order, except the auto-increment,
// which carh numbers itself (car's numbers are not unique over time).
std::string historyCopy(Database& db) {
    const TableDef car = db.tableDef("car");
    const TableDef carh = db.tableDef("carh");
    std::string cols;
    for (const FieldDef& f : car.fields) {
        if (f.type == FieldType::AutoInc || carh.fieldIndex(f.name) < 0) continue;
        cols += (cols.empty() ? "\"" : ", \"") + f.name + "\"";
    }
    return "INSERT INTO carh (" + cols + ") SELECT " + cols + " " + kInvoiceRows;
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
    const std::string copySql = state.history ? historyCopy(db_) : std::string();
    const std::string deleteSql = std::string("DELETE ") + kInvoiceRows;

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
            for (const std::string& invoice : paid) {
                const std::vector<Value> key{Value(client), Value(invoice), Value(cutoff)};
                if (state.history) result.rowsToHistory += db_.execute(copySql, key);
                result.rowsDeleted += db_.execute(deleteSql, key);
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
