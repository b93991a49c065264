#pragma once
#include "engine/Money.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vm {
class Database;
}
namespace vm::journal {
class ControlAccounts;
}

namespace vm::cashdisb {

struct DisbursementDocument;

// What a posting wrote.
struct DisbursementResult {
    std::int64_t headerSeq = 0; // Seq of the cdorihdr row
    int journal = 0;
    Money balanceChange; // added to the supplier's balance (0 when not to a supplier)
};

// Posts a checked disbursement (DisbursementChecks) into the company's
// books: the stored disbursement (cdorihdr with every distribution row,
// cdoridet for each positive payment), the pending journal (tjlh/tjld,
// journal 4 or 41 + currency, one header per period, journal, reference and
// date, shared with every other document of that key), a concil row per
// bank line and, for a supplier, its ledger rows and its sup row.
//
// The supplier's ledger follows what the distribution moves on the
// payables accounts: one type "2" row per invoice paid (minus the payment),
// then whatever the payables lines move beyond those payments as one row of
// the reference, type "5" when it lowers what is owed (a payment on
// account) and type "4" when it raises it (a refund); the balance changes by
// the credits less the debits of the payables lines, the sum of the rows.
//
// A posting is one immediate engine transaction: it is written whole or not
// at all. Any failure rolls everything back and propagates; AmountOverflow
// when the balance or a journal total would leave the money type.
class DisbursementPosting {
public:
    // Points at which a test can make the posting fail.
    enum class Stage { Header, Journal, Ledger, Supplier };

    static constexpr int kJournal = 4;

    DisbursementPosting(Database& companyDb, const journal::ControlAccounts& accounts);

    void setUser(std::string loginUser) { user_ = std::move(loginUser); }
    void setStageHook(std::function<void(Stage)> hook) { hook_ = std::move(hook); }

    // One attempt. The supplier's row is locked before anything is written:
    // when another session holds it, kRecordLocked is thrown and nothing was
    // written.
    DisbursementResult postOnce(const DisbursementDocument& doc, int period);

    // Attempts until the supplier's row is free, calling waitForLock between
    // attempts (with nothing held); nullopt when it returns false.
    std::optional<DisbursementResult> post(const DisbursementDocument& doc, int period,
                                           const std::function<bool()>& waitForLock);

    // The pending-journal number: 4 for the company's currency, 41 + n for
    // currency n. A disbursement to a supplier takes the supplier's currency;
    // one not to a supplier the chart currency of the first bank row that
    // carries an amount (a preset bank row left at zero does not decide), 4
    // without one.
    static int journalNumber(Database& companyDb, const journal::ControlAccounts& accounts,
                             const DisbursementDocument& doc, std::int64_t supplierCurrency);

private:
    Database& db_;
    const journal::ControlAccounts& accounts_;
    std::string user_;
    std::function<void(Stage)> hook_;
};

} // namespace vm::cashdisb
