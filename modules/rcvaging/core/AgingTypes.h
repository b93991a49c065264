#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <array>
#include <string>
#include <vector>

namespace vm::aging {

enum class Ledger { Receivables, Payables };

// What the options window asks. Currency numbers: 0 = the company's own
// currency, 1..4 = the currencies named in ctrl; -1 = no conversion / all.
struct AgingOptions {
    Ledger ledger = Ledger::Receivables;
    Date reportDate;
    Date today;                   // the workstation's date: decides between stored and as-of balances
    std::string fromCode;         // inclusive
    std::string toCode;           // inclusive; empty = no upper bound
    std::string territory;        // receivables only; empty = all
    int convertTo = -1;           // -1 = no conversion
    int printCurrency = -1;       // -1 = all currencies
    int olderThan = 0;            // 0 = all, 1..5 = the bucket limit k
    bool orderBySalesman = false; // receivables only
    bool useDueDate = false;
    bool includeSubsequent = false;
    bool zeroBalance = false;
    bool history = false; // read carh/caph instead of car/cap
};

// The company's aging settings for one ledger.
struct AgingControl {
    std::array<int, 5> days{};
    std::array<std::string, 5> bucketNames;
    std::array<std::string, 4> currencyNames;
    std::array<std::string, 4> currencySigns;
    std::array<float, 4> rates{}; // kept single-precision, as stored for the report
};

// One transaction row of the detailed listing.
struct AgingRow {
    std::string invoice, reference, type;
    Date date, dueDate;
    Money amount;   // converted when asked
    int bucket = 1; // 1..5
    int days = 0;
};

// One client or supplier with its selected rows and totals.
struct AgingAccount {
    std::string code, name, phone, comments;
    std::string adr1, adr2, city, prov, country, postalCode; // receivables only
    int currency = 0;
    Money balance; // stored or as-of, unconverted: decides whether the account prints
    std::vector<AgingRow> rows;
    Money total;
    std::array<Money, 5> buckets{};
};

struct AgingTotals {
    int accounts = 0;
    Money total;
    std::array<Money, 5> buckets{};
};

} // namespace vm::aging
