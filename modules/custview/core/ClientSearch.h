#pragma once
#include "engine/Date.h"
#include "engine/Value.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {
class Database;
}

namespace vm::custview {

// The search bar's operators, in the order of its drop-down.
enum class SearchOperator { Equal, Greater, Less, NotEqual, Containing };

// The client fields offered by the search, in the order of the cli table:
// entry n of the drop-down is field n.
const std::vector<std::string>& searchFields();
constexpr int kSearchFieldCount = 43;

// What the search asks of the client list.
struct ClientSearch {
    enum class Outcome {
        Query,     // run `sql` with `params`
        Unchanged, // nothing to search (CONTAINING on a date): the list stays as it is
        Refused,   // the parameter does not suit the field: show `message`, the list stays
    };
    Outcome outcome = Outcome::Unchanged;
    std::string sql;
    std::vector<Value> params;
    int message = -1; // InquiryMessage when refused
};

// Reads a date typed by the user; nullopt (or a blank date) when it is none.
using DateReader = std::function<std::optional<Date>(std::string_view)>;

// Builds the client list's statement for field `fieldIndex` (0-based in
// searchFields()), operator `op` and the user's `parameter`. The field name
// comes only from the fixed list and the parameter is always a bound value:
// CONTAINING matches it as literal text (no wildcard of its own), a date
// field compares dates. An empty parameter lists every client. The list is
// always in client-code order.
ClientSearch buildClientSearch(Database& company, int fieldIndex, SearchOperator op,
                               std::string_view parameter, const DateReader& readDate);

// The statement of the whole client list.
std::string allClientsSql();

} // namespace vm::custview
