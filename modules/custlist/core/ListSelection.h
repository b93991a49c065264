#pragma once
#include "engine/Value.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm {
class Database;
class Query;
} // namespace vm

namespace vm::lists {

// Which master file is listed: the clients (cli) or the suppliers (sup).
enum class Master { Clients, Suppliers };
// Order of the detailed client list; every other list is in code order.
enum class ListOrder { Code, Salesrep };

// What the list windows ask. Codes compare byte by byte; an empty "from" is
// no lower bound and an empty "to" no upper bound.
struct ListOptions {
    Master master = Master::Clients;
    bool detailed = true;
    std::string fromCode, toCode;
    std::string fromRep, toRep; // clients only
    // Up to three positions; "?" or a blank at a position matches any
    // character there. A position the pattern does not reach matches anything.
    std::string territory;
    ListOrder order = ListOrder::Code; // clients only; the summary ignores it
};

// Whether a territory code passes the territory pattern.
bool territoryMatches(std::string_view pattern, std::string_view territory);

// The rows of a client or supplier list, selected and in print order, read
// forward from the master table. Reads only; the typed codes reach the query
// as bound parameters.
class ListSelection {
public:
    ListSelection(Database& company, ListOptions options);
    ~ListSelection();
    ListSelection(const ListSelection&) = delete;
    ListSelection& operator=(const ListSelection&) = delete;

    const ListOptions& options() const { return options_; }
    // The order the rows come in: the summary list is always by code.
    ListOrder effectiveOrder() const;

    // Moves to the next selected row; false at the end.
    bool next();
    // A field of the current row (blank for an unknown name), as the table
    // holds it.
    Value value(std::string_view field) const;
    std::vector<std::string> fieldNames() const;
    // Starts again before the first row.
    void restart();

private:
    Database& db_;
    ListOptions options_;
    std::unique_ptr<Query> query_;
    int terrColumn_ = -1;
    std::vector<std::string> lowerNames_;
};

} // namespace vm::lists
