#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <array>
#include <string>

namespace vm {
class Database;
}

namespace vm::custview {

// Whether the company keeps its receivables history (Ctrl_ar_histo): only
// then can the statement show it.
bool historyKept(Database& company);

// The ledger the statement reads: "carh" when history is asked for and
// kept, else "car".
std::string statementTable(Database& company, bool history);

// Empties the session's work table Cartmp<sessionId> (created when missing)
// and refills it with the client's rows of the statement's ledger, in the
// statement's order (invoice, reference, date, type, sequence), each with the
// running sum of the amounts. Costs in proportion to the client's rows.
// Returns the number of rows. One engine transaction.
int fillStatement(Database& company, int sessionId, const std::string& client, bool history);

// The statement's rows for the bound client (parameter 1): the ledger's
// fields and "Cartmp_balance", in the statement's order.
std::string statementSql(Database& company, int sessionId, bool history);

// The client's current balance by aging bucket: each row of car adds its
// amount to the bucket of the days from the date of its invoice's first row
// to `today`, by the company's receivables limits.
std::array<Money, 5> clientBuckets(Database& company, const std::string& client, Date today);

} // namespace vm::custview
