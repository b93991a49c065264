#pragma once

namespace vm::chqedit {

// Lines of the cheque windows' message list (languages/chqedit.*.txt and
// chqrecur.*.txt give their texts).
constexpr int kNoMessage = -1;
constexpr int kMsgUnbalanced = 0;              // the ten amounts do not sum to zero (plain)
constexpr int kMsgAccountNotFound = 1;         // a distribution account is not in the chart
constexpr int kMsgPayablesWithoutSupplier = 2; // slot 1 carries an amount on a cheque without supplier
constexpr int kMsgInvoiceNotFound = 8;         // the supplier has no such invoice (plain)
constexpr int kMsgZeroAccount = 9;             // an amount without an account
constexpr int kMsgInvoiceOnCheque = 10;        // the invoice is on this cheque already (plain)
constexpr int kMsgReservedAccount = 11;        // a bank or payables control account in a free slot
constexpr int kMsgSupplierNotFound = 12;       // the supplier code is not in the file
constexpr int kMsgNegativeAmount = 13;         // a template line's amount or discount below zero
constexpr int kMsgDeleteQuestion = 3;          // "Delete cheque entry %1?"
constexpr int kMsgDiscardChanges = 4;          // Escape with changes
constexpr int kMsgBadNumber = 5;               // an amount that cannot be read
constexpr int kMsgReviewDistribution = 6;      // status bar: the distribution was recomputed
constexpr int kMsgSupplierLocked = 7;          // status bar: an entry with lines keeps its supplier

inline bool plainMessage(int message) {
    return message == kMsgUnbalanced || message == kMsgInvoiceNotFound || message == kMsgInvoiceOnCheque;
}

} // namespace vm::chqedit
