#pragma once
#include "engine/Money.h"
#include "modules/cashrcpt/core/ControlAccounts.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vm {
class Database;
}

namespace vm::cashrcpt {

struct ReceiptDocument;

// What a posting wrote.
struct PostingResult {
    std::int64_t headerSeq = 0; // Seq of the crorihdr row
    int journal = 0;
    Money balanceChange; // added to the client's balance (0 when not from a client)
    bool nsfDateSet = false;
};

// Posts a checked receipt (ReceiptChecks) into the company's books: the
// stored receipt (crorihdr, croridet for positive payments), the pending
// journal (tjlh/tjld, one header per period, journal, reference and date,
// shared with every other document of that key), a concil row per bank line
// and, for a client, its ledger rows (car types "2", "4", "5") and its cli
// row (balance, last payment, credit hold, NSF date).
//
// A posting is one immediate engine transaction: it is written whole or not
// at all. Any engine failure rolls everything back and propagates.
class ReceiptPosting {
public:
    // Points at which a test can make the posting fail.
    enum class Stage { Header, Journal, Ledger, Client };

    ReceiptPosting(Database& companyDb, const ControlAccounts& accounts);

    // LoginUser of the session: written in the user columns.
    void setUser(std::string loginUser) { user_ = std::move(loginUser); }
    // Called after each stage, inside the transaction; whatever it throws
    // aborts the posting.
    void setStageHook(std::function<void(Stage)> hook) { hook_ = std::move(hook); }

    // One attempt. The client's row is locked first, before anything is
    // written: when another session holds it, kRecordLocked is thrown and
    // nothing was written. Throws EngineError on any other failure, with
    // nothing written.
    PostingResult postOnce(const ReceiptDocument& doc, int period);

    // Attempts until the client's row is free and the database's write lock
    // can be had (kRecordLocked or kDatabaseBusy). Between attempts (the
    // transaction is rolled back, so no other session waits on this one)
    // waitForLock is called; it pauses and returns false when the user gives
    // up, and then nothing is posted (nullopt).
    std::optional<PostingResult> post(const ReceiptDocument& doc, int period,
                                      const std::function<bool()>& waitForLock);

    // The pending-journal number: 2 for the company's currency, 21 + n for
    // currency n. A client receipt takes the client's currency; a receipt not
    // from a client the chart currency of its first bank line that carries an
    // amount, 2 without one.
    static int journalNumber(Database& companyDb, const ControlAccounts& accounts, const ReceiptDocument& doc,
                             std::int64_t clientCurrency);

private:
    Database& db_;
    const ControlAccounts& accounts_;
    std::string user_;
    std::function<void(Stage)> hook_;
};

} // namespace vm::cashrcpt
