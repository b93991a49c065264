#pragma once
#include "modules/rcvaging/core/Aging.h"
#include "report/DataSource.h"

#include <array>
#include <map>
#include <memory>
#include <string>

namespace vm::aging {

// The aging as report rows, pulled from the computation one account at a
// time. Detailed: one row per transaction, carrying its account's fields
// (the report groups on "code"). Summary: one row per account with its
// totals.
//
// Row values: code, name, phone, address (lines joined by '\n'), comments,
// currency; detail rows add invoice, date, due_date, reference, type (its
// short name), amount, b1..b5 (the amount in its bucket, blank elsewhere),
// days; summary rows add amount and b1..b5 as the account's totals.
class AgingDataSource : public report::DataSource {
public:
    // What the rows handed out add up to, by currency number: [0] the amount,
    // [1..5] the buckets. Amounts of different currencies are never added.
    using CurrencySums = std::map<int, std::array<Money, 6>>;

    // typeNames: the short names of ledger types "1" to "5"; sums, when
    // given, is kept up to date as rows are read (and cleared on rewind).
    AgingDataSource(Aging& aging, bool detailed, bool withAddress, std::array<std::string, 5> typeNames,
                    std::shared_ptr<CurrencySums> sums = {});

    bool next() override;
    std::vector<std::string> fieldNames() const override;
    Value value(std::string_view name) const override;
    bool rewind() override;

private:
    void addToSums();

    Aging& aging_;
    std::shared_ptr<CurrencySums> sums_;
    bool detailed_;
    bool withAddress_;
    std::array<std::string, 5> typeNames_;
    AgingAccount account_;
    std::size_t row_ = 0;
    bool hasAccount_ = false;
    bool done_ = false;
};

} // namespace vm::aging
