#pragma once
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::admin {

// The differences in a company's books, one readable line each: a client or
// supplier balance that is not the sum of its ledger rows, ledger rows of an
// unknown client or supplier, a journal header whose totals are not the sums
// of its lines (or that does not balance), and lines without a header.
// Empty when the books balance. Reads only.
std::vector<std::string> checkBooks(Database& companyDb);

} // namespace vm::admin
