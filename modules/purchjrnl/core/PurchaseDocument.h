#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <array>
#include <cstdint>
#include <string>

namespace vm::purchjrnl {

// The kinds of purchase-journal document, in the order the window lists
// them.
enum class PurchaseType { Purchase, Debit, Credit, Adjustment };

// The supplier-ledger type a document is written with: "1" invoice,
// "4" debit note, "5" credit note, "3" adjustment.
const char* ledgerCode(PurchaseType type);

// One of the document's eleven distribution lines; account 0 is no account.
struct PurchaseLine {
    std::int32_t account = 0;
    std::string description;
    Money debit;
    Money credit;

    bool hasAmount() const { return !debit.isZero() || !credit.isZero(); }
    Money net() const { return debit - credit; }
};

// A purchase-journal document as typed.
struct PurchaseDocument {
    static constexpr int kLines = 11;

    std::string supplier;    // may be empty for a direct/cash purchase
    bool directCash = false; // paid at once: no supplier ledger, no A/P line
    PurchaseType type = PurchaseType::Purchase;
    std::string invoice;   // upper case
    std::string reference; // the debit/credit reference; required but for a purchase
    Date date;
    Date dueDate;
    std::string memo;
    std::array<PurchaseLine, kLines> lines;
};

} // namespace vm::purchjrnl
