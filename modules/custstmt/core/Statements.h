#pragma once
#include "modules/rcvaging/core/Aging.h"

#include "engine/Date.h"
#include "engine/Money.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::custstmt {

// What the statement window asks. Currency numbers: 0 = the company's own
// currency, 1..4 = the currencies named in ctrl; -1 = all / no conversion.
struct StatementOptions {
    std::string fromCode;  // inclusive (text comparison)
    std::string toCode;    // inclusive; empty = no upper bound
    std::string territory; // empty = every territory
    Date printDate;        // blank = not a valid date
    Date today;
    bool includeSubsequent = false;      // rows dated after the print date print too
    std::optional<Money> minimumBalance; // clients whose stored balance is at least this and not zero
    double interestRate = 0;             // percent per year; 0 = no interest
    int printCurrency = -1;              // only clients of this currency; -1 = all
    int convertTo = -1;                  // -1 = no conversion
};

// One transaction line of a statement, amounts in the statement currency.
struct StatementLine {
    std::string invoice, reference, type;
    Date date, dueDate;
    Money amount, debit, credit, balance; // balance: the client's running balance
    Money fedTax, proTax;                 // unconverted, as stored
    int days = 0;                         // from the invoice's first row to the print date
    int bucket = 1;                       // 1..5
    Money interest;
};

// One client's statement with its totals.
struct Statement {
    std::string code, name, adr1, adr2, city, prov, postalCode, country, territory, fax;
    std::string contact, email;
    bool emailStatement = false; // the client takes statements by mail
    int currency = 0;
    Money currentBalance;
    std::vector<StatementLine> lines;
    std::array<Money, 5> buckets{};
    Money totalInterest;
    Money totalDue; // every amount plus every interest
};

// The statements of a selection, produced one client at a time in code order,
// so that memory holds only the client being printed. Reads only.
class StatementRun {
public:
    StatementRun(Database& company, StatementOptions options);
    ~StatementRun();

    const StatementOptions& options() const { return options_; }
    const aging::AgingControl& control() const { return aging_.control(); }
    // The date the statements are made at (today when the typed date is not
    // valid and subsequent transactions are not wanted).
    Date effectiveDate() const { return options_.printDate; }

    // False after the last selected client.
    bool next(Statement& out);
    // Starts again from the first client.
    void restart();

    // Whether one client passes the selection (range, territory, balance,
    // currency): the mailing run narrows to one client with it.
    bool clientSelected(const std::string& code, const std::string& territory, Money currentBalance,
                        int currency) const;
    // An amount of the client's currency in the statement currency.
    Money toStatementCurrency(Money amount, int clientCurrency) const;
    // The currency sign printed beside amounts; `localSign` for the company's own.
    std::string amountSign(const std::string& localSign) const { return aging_.amountSign(localSign); }
    // Overdue interest on `outstanding` for `daysOverdue` days at the run's
    // rate, rounded to cents; never negative.
    Money interestOn(Money outstanding, int daysOverdue) const;

private:
    struct Row {
        std::string invoice, reference, type;
        Date date, dueDate;
        Money amount, fedTax, proTax;
    };
    void fill(Statement& s, const std::vector<Row>& rows) const;

    struct Pass;
    Database& db_;
    StatementOptions options_;
    aging::Aging aging_; // currency conversion, signs and buckets, as the aging report does them
    std::unique_ptr<Pass> pass_;
};

} // namespace vm::custstmt
