#pragma once
#include "modules/rcvaging/core/AgingTypes.h"

#include <functional>
#include <memory>

namespace vm {
class Database;
}

namespace vm::aging {

// The aging of one ledger (receivables: cli/car/carh; payables:
// sup/cap/caph). Reads only. Accounts are produced one at a time in report
// order, so a company of any size is aged in memory proportional to its
// largest account.
class Aging {
public:
    Aging(Database& company, AgingOptions options);

    const AgingControl& control() const { return control_; }
    const AgingOptions& options() const { return options_; }

    // Calls `sink` for every account that prints (in report order), with its
    // rows and totals. Returns the report totals.
    AgingTotals run(const std::function<void(const AgingAccount&)>& sink);
    // The same, pulled one account at a time (for the report's data source):
    // false after the last account. Totals accumulate in totals().
    bool nextAccount(AgingAccount& out);
    const AgingTotals& totals() const { return totals_; }
    // Starts again from the first account.
    void restart();

    // The bucket (1..5) of an age: at or under the first limit is column 1,
    // and so on; past the fourth limit is column 5.
    int bucketOf(int days) const;
    // Whether a row of this age passes "older than" choice k (1..5): at or
    // over the limit for receivables, strictly over it for payables.
    bool olderThanPasses(int days) const;
    // An amount of currency `from` expressed in currency `to` (0 = the
    // company's own, rate 1): to the company currency rounded to the nearest
    // ten-thousandth, then to the target rounded to cents, halves away from zero.
    Money convert(Money amount, int from, int to) const;
    // The sign printed beside amounts: the target currency's when converting,
    // else the printed currency's; `localSign` for currency 0; blank when
    // neither converting nor printing one currency.
    std::string amountSign(const std::string& localSign) const;

    static AgingControl readControl(Database& company, Ledger ledger);

private:
    struct Tx {
        std::string invoice, reference, type;
        Date date, dueDate;
        Money amount;
    };
    // Applies the row selection to one account's transactions (in index
    // order) and fills its rows, totals and as-of balance.
    void ageAccount(AgingAccount& account, const std::vector<Tx>& txs, bool asOfBalance) const;
    bool accountPrints(const AgingAccount& a, bool asOf) const;

    struct Pass; // the open cursor and ledger query of a run

    Database& db_;
    AgingOptions options_;
    AgingControl control_;
    std::shared_ptr<Pass> pass_;
    AgingTotals totals_;
};

} // namespace vm::aging
