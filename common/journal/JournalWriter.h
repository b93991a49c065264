#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::journal {

// The pending-journal number of an entry module for a currency: the
// module's own number (2 receipts, 3 purchases, 4 disbursements) for the
// company's currency, ten times it plus 1 + n for currency n (21 + n, 31 + n,
// 41 + n). A currency outside 0..4 counts as the company's own.
int journalOfCurrency(int baseJournal, std::int64_t currency);

// A document's journal header memo: the party's name, then a carriage
// return and the memo when one was typed.
std::string partyMemo(const std::string& partyName, const std::string& memo);

// Period_mth of a period; "" when Periods has no such row.
std::string periodName(Database& companyDb, int period);

// Thrown when a sum would leave the range of the money type: the document is
// refused rather than stored with a wrapped amount.
class AmountOverflow : public std::overflow_error {
public:
    explicit AmountOverflow(const std::string& what) : std::overflow_error(what) {}
};

// a + b; throws AmountOverflow when the sum does not fit the money type.
Money addChecked(Money a, Money b, const char* what);
// false when a + b would not fit the money type.
bool fitsSum(Money a, Money b);

// The key of a pending-journal entry; every document of one key, from any
// session, adds to one header.
struct JournalKey {
    int period = 0;
    int journal = 0;
    std::string reference;
    Date date;
};

// Writes a posting's distribution lines into the pending journal, over one
// pair of cursors for the whole posting (or for a run of postings).
//
// A document's lines all go under one key: start() names it, addLine()
// writes each tjld row at once and gathers the header totals, finish() then
// finds or inserts the header (with memo, user and stamp) and raises its
// totals once, so that a document of many lines finds, locks and rewrites its
// header only once. All three must run inside the posting's transaction, and
// finish() before its commit; any failure propagates (AmountOverflow when a
// total would overflow). start() forgets what a failed posting left.
class JournalWriter {
public:
    explicit JournalWriter(Database& db);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void start(const JournalKey& key, const std::string& headerMemo, const std::string& user, DateTime now);
    void addLine(std::int32_t account, const std::string& description, Money debit, Money credit);
    // Writes the header when at least one line was added; nothing otherwise.
    void finish();

private:
    std::unique_ptr<Cursor> tjlh_, tjld_;
    bool started_ = false;
    int lines_ = 0;
    JournalKey key_;
    std::string headerMemo_, user_;
    DateTime now_;
    Money debit_, credit_;
};

// A bank-reconciliation row for a posted line on a company bank account
// (type 1 receipts, 2 disbursements); amount = debit - credit, untagged.
struct BankLine {
    std::int32_t account = 0;
    int type = 0;
    std::string reference;
    std::string party;     // client or supplier code; "" when none
    std::string partyName; // its name, or the memo when there is no party
    Date date;
    Money amount;
};
void addBankReconciliation(Database& db, const BankLine& line);

} // namespace vm::journal
