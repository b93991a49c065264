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

// The values that no window would have written, one readable line each:
// coded fields of clients and suppliers outside the lists their windows
// offer (language, currency, price list, copies, terms, territory, sales
// rep, accounts, invoice format, bank account), ledger rows of an unknown
// type, and a supplier invoice number entered twice for one supplier. The
// data root holds the terms and territories. Reads only.
std::vector<std::string> checkCodes(Database& companyDb, Database& dataRoot);

} // namespace vm::admin
