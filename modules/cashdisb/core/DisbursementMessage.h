#pragma once

namespace vm::cashdisb {

// Lines of the module's message list (its language table's memo
// "IntlStrings1"); the core reports refusals by these numbers so that the
// window shows the text of the session's language.
enum DisbursementMessage : int {
    kMsgNone = -1,
    kMsgPosted = 1, // the status bar's confirmation
    kMsgAccountNotInChart = 2,
    kMsgReferenceMissing = 3,
    kMsgAccountInvalid = 4,
    kMsgNotBalanced = 5,
    kMsgPayablesNotToSupplier = 6,
    kMsgSupplierNotFound = 7,
    kMsgMemoQuestion = 8, // a question: Yes goes back to the memo
    kMsgCaptionPeriod = 10,
    kMsgCaptionTransaction = 11,
    kMsgDateInvalid = 12,
    kMsgLockGivenUp = 13,
    kMsgAmountTooLarge = 14,
    kMsgTooManyLines = 15,
    kMsgNotAnAmount = 16, // "%1": the text typed
};

// Where the window puts the focus after a refusal.
enum class DisbursementField { None, Supplier, Date, Reference, Memo, Distribution };

struct CheckResult {
    int message = kMsgNone;
    DisbursementField focus = DisbursementField::None;
    int line = -1; // the distribution row concerned, when there is one

    bool ok() const { return message == kMsgNone; }
};

} // namespace vm::cashdisb
