#pragma once

namespace vm::purchjrnl {

// Lines of the module's message list (its language table's memo
// "IntlStrings1"); the core reports refusals by these numbers so that the
// window shows the text of the session's language.
enum PurchaseMessage : int {
    kMsgNone = -1,
    kMsgInvoiceExists = 0,
    kMsgInvoiceNotFound = 1,
    kMsgInvoiceMissing = 2,
    kMsgDirectCashPayables = 3,
    kMsgNotBalanced = 4,
    kMsgReferenceMissing = 5,
    kMsgMemoQuestion = 6, // a question: Yes goes back to the memo
    kMsgSupplierNotFound = 7,
    kMsgAccountNotFound = 8,
    kMsgCreditExpected = 9,
    kMsgDebitExpected = 10,
    kMsgCaptionPeriod = 12,
    kMsgCaptionTransaction = 13,
    kMsgLockGivenUp = 15,
    kMsgAmountTooLarge = 16,
    kMsgDateInvalid = 17,
};

// Where the window puts the focus after a refusal.
enum class PurchaseField { None, Supplier, Invoice, Reference, Memo, Date, DueDate, LineAccount, LineAmount };

struct CheckResult {
    int message = kMsgNone;
    PurchaseField focus = PurchaseField::None;
    int line = -1; // 0-based distribution line concerned, when there is one

    bool ok() const { return message == kMsgNone; }
};

} // namespace vm::purchjrnl
