#pragma once
#include "engine/Date.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

namespace vm {
class Database;
}

namespace vm::monthend {

// The receivables settings the run depends on, as the control row holds them.
struct PeriodState {
    int period = 0;  // Ctrl_ar_period
    int periods = 0; // Ctrl_periods
    bool history = false;
    // In the last period of the year the number does not move: the year
    // must be closed by the end-of-year procedure.
    bool lastPeriod() const { return period >= periods; }
};

// What a month end did.
struct MonthEndResult {
    std::int64_t invoicesPurged = 0;
    std::int64_t rowsDeleted = 0;   // car rows removed
    std::int64_t rowsToHistory = 0; // of those, copied to carh
    std::int64_t clientsReset = 0;  // every client: its month-to-date sales are 0
    std::int64_t salesmenReset = 0; // every salesman, likewise
    int oldPeriod = 0;
    int newPeriod = 0;
};

// A cut-off date that is not a date: nothing was read or written.
class InvalidCutoff : public std::invalid_argument {
public:
    InvalidCutoff() : std::invalid_argument("The cut-off date is not a valid date") {}
};

// The receivables end of month of one company.
//
// Accounting rule: an invoice of a client is fully paid at the cut-off date
// when its ledger rows dated on or before that date (a row without a date
// counts as before) sum to exactly zero; those rows leave car (copied to
// carh first when the company keeps history). Rows dated after the cut-off
// are never read for the sum nor deleted. Client balances do not change: the
// rows removed sum to zero. Every client's Cli_sales_mth and every
// salesman's Slsm_vente_mois become 0, and Ctrl_ar_period moves on by one
// unless it is the last period of the year.
//
// The run is one immediate engine transaction: the books are changed whole
// or not at all, so an interrupted run can simply be run again.
class MonthEnd {
public:
    // Called once per client in each of the two client passes (purge, then
    // month-to-date reset), inside the transaction: `done` goes from 1 to
    // `total` (twice the number of clients). Returning false cancels the run
    // and nothing is written; an exception thrown from it rolls the run back
    // and propagates.
    using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

    explicit MonthEnd(Database& company) : db_(company) {}
    void setProgress(Progress progress) { progress_ = std::move(progress); }

    static PeriodState readPeriod(Database& company);

    // Runs the month end up to `cutoff`. Throws InvalidCutoff for a blank
    // date before touching anything. Returns nothing when cancelled through
    // the progress callback (nothing written). Throws EngineError on any
    // engine failure, kRecordLocked when another workstation holds a client,
    // salesman or control row; in every such case nothing is written.
    std::optional<MonthEndResult> run(Date cutoff);

private:
    Database& db_;
    Progress progress_;
};

} // namespace vm::monthend
