#pragma once

namespace vm::cashrcpt {

// Lines of the module's message list (its language table's memo
// "IntlStrings1"). The core reports refusals by these numbers so that the
// window shows the text of the session's language.
enum ReceiptMessage : int {
    kMsgNone = -1,
    kMsgReferenceMissing = 3,
    kMsgAccountInvalid = 4,
    kMsgClientNotFound = 5,
    kMsgNotBalanced = 6,
    kMsgReceivablesNotFromClient = 7,
    kMsgMemoMissing = 8, // a question: Yes goes back to the memo
    kMsgCaptionPeriod = 9,
    kMsgCaptionChangedTo = 10,
    kMsgDateInvalid = 11,
    kMsgTooManyLines = 12,
    kMsgLockGivenUp = 13,
    kMsgPostFailed = 14,
    kMsgPostedStatus = 15, // "%1": the reference
    kMsgNotAnAmount = 16,  // "%1": the text typed
};

// Where the window puts the focus after a refusal.
enum class ReceiptField { None, ClientCode, Date, Reference, Memo, Distribution };

struct CheckResult {
    int message = kMsgNone;
    ReceiptField focus = ReceiptField::None;
    int line = -1; // the distribution line concerned, when there is one

    bool ok() const { return message == kMsgNone; }
};

} // namespace vm::cashrcpt
