#pragma once
#include "engine/Money.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchaseMessage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm
namespace vm::journal {
class ControlAccounts;
}

namespace vm::purchjrnl {

// The distribution of the document being typed. Its amounts live in the
// session's virmem row of the data root (lines 1-9 in Curr_1..9 and
// Curr_10..18, lines 10 and 11 in Curr_21..24, the totals in Curr_19 and
// Curr_20), which is created when missing and held in edit mode, never
// posted, for as long as the entry lives: two sessions never share it.
//
// The window shows the lines and sends every user change here, so that the
// rules of the distribution (preset accounts, a debit clears the credit,
// the payables line of a debit or credit note) can be driven without it.
class PurchaseEntry {
public:
    static constexpr int kLines = PurchaseDocument::kLines;

    struct Supplier {
        std::string code, name, adr1, adr2, city, prov, email;
        int currency = 0;           // 0..4
        std::int64_t terms = 0;     // Sup_du_days
        std::int32_t accounts[3]{}; // Sup_accnt1..3
    };
    struct Totals {
        Money debit;
        Money credit;
    };

    // Locks the session's virmem row (kRecordLocked when another window of
    // the same session holds it) and presets the lines for currency 0.
    PurchaseEntry(Database& companyDb, Database& dataRootDb, const journal::ControlAccounts& accounts,
                  int sessionId);
    ~PurchaseEntry();
    PurchaseEntry(const PurchaseEntry&) = delete;
    PurchaseEntry& operator=(const PurchaseEntry&) = delete;

    // Exact look-up of a supplier code; nothing when it is not on file.
    std::optional<Supplier> findSupplier(const std::string& code) const;

    // Drops the amounts and presets the lines: line 1 the payables account of
    // the currency, lines 2-9 the company's purchase accounts, 10 and 11
    // empty, each with its chart description.
    void reset(int currency);
    // Lines 2, 3 and 4 take the supplier's own accounts where it has them.
    void applySupplierAccounts(const Supplier& supplier);

    const PurchaseLine& line(int i) const { return lines_.at(static_cast<std::size_t>(i)); }
    // The first line without an account (0 when every line has one).
    int firstFreeLine() const;
    // An account in the chart fills the line's description; 0 empties the
    // line's account and description. An account not in the chart is
    // refused (message 8) and the line's account becomes 0.
    CheckResult setAccount(int i, std::int32_t account);
    void setDescription(int i, const std::string& description);
    // A non-zero amount clears the other side. On a payables line, a debit
    // note takes no positive debit (message 9) and a credit note no positive
    // credit (message 10): the amount is set to 0 instead.
    CheckResult setDebit(int i, Money debit, PurchaseType type);
    CheckResult setCredit(int i, Money credit, PurchaseType type);
    Totals totals() const;

    // The lines as they stand, into a document.
    void fillLines(PurchaseDocument& doc) const;

private:
    void store(int i, bool debit, Money m);
    void storeTotals();
    std::string description(std::int32_t account, bool* found = nullptr) const;

    Database& db_;
    const journal::ControlAccounts& accounts_;
    std::unique_ptr<Cursor> virmem_;
    std::array<PurchaseLine, kLines> lines_{};
};

} // namespace vm::purchjrnl
