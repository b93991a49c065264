#pragma once
#include "engine/Money.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm
namespace vm::journal {
class ControlAccounts;
class JournalWriter;
} // namespace vm::journal

namespace vm::purchjrnl {

struct PurchaseDocument;

// What a posting wrote.
struct PurchaseResult {
    int journal = 0;
    std::int64_t recordSeq = 0; // Seq of the apori row
    Money balanceChange;        // added to the supplier's balance (0 without a payables line)
};

// Posts a checked document (PurchaseChecks) into the company's books: one
// tjld row per line with an account and an amount, under the tjlh header of
// (period, journal, invoice number, date) shared with every other document
// of that key; journal 3, or 31 + the supplier's currency. Unless it is a
// direct/cash purchase, the payables lines move the supplier: its sup row
// (balance, and for a purchase the month and year totals, the last
// purchase's amount and date) and one cap
// row of the document's type for the same amount. Last, the apori record
// of the document as typed.
//
// A posting is one immediate engine transaction: it is written whole or not
// at all. Any failure rolls everything back and propagates; AmountOverflow
// when a balance or total would leave the money type.
class PurchasePosting {
public:
    // Points at which a test can make the posting fail.
    enum class Stage { Journal, Supplier, Ledger, Record };

    static constexpr int kJournal = 3;

    PurchasePosting(Database& companyDb, const journal::ControlAccounts& accounts);
    ~PurchasePosting();

    // LoginUser of the session: written in the user columns.
    void setUser(std::string loginUser) { user_ = std::move(loginUser); }
    // Called after each stage, inside the transaction; whatever it throws
    // aborts the posting.
    void setStageHook(std::function<void(Stage)> hook) { hook_ = std::move(hook); }

    // One attempt. The supplier's row is locked before anything is written:
    // when another session holds it, kRecordLocked is thrown and nothing was
    // written.
    PurchaseResult postOnce(const PurchaseDocument& doc, int period);

    // Attempts until the supplier's row is free. Between attempts (the
    // transaction is rolled back, so no other session waits on this one)
    // waitForLock is called; it pauses and returns false when the user gives
    // up, and then nothing is posted (nullopt).
    std::optional<PurchaseResult> post(const PurchaseDocument& doc, int period,
                                       const std::function<bool()>& waitForLock);

private:
    PurchaseResult write(const PurchaseDocument& doc, int period);

    Database& db_;
    const journal::ControlAccounts& accounts_;
    std::string user_;
    std::function<void(Stage)> hook_;
    // The cursors of the tables a posting writes, opened at the first
    // posting and kept for the next ones.
    std::unique_ptr<Cursor> sup_, cap_, apori_;
    std::unique_ptr<journal::JournalWriter> journal_;
};

} // namespace vm::purchjrnl
