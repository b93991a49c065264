#pragma once

namespace vm::custview {

// Lines of the window's message list (its language table's memo
// "IntlStrings1"). Lines 0 to 4 are the transaction type names.
enum InquiryMessage : int {
    kMsgNone = -1,
    kMsgSearchFailed = 5,
    kMsgNoDocument = 6,
    kMsgDateInvalid = 7,   // "%1": the text typed
    kMsgNumberInvalid = 8, // "%1": the text typed
};

// The message line naming a ledger row's type ("1" invoice, "4", "5", "3",
// "2" payment); kMsgNone for any other type.
inline int typeNameMessage(char type) {
    switch (type) {
    case '1':
        return 0;
    case '4':
        return 1;
    case '5':
        return 2;
    case '3':
        return 3;
    case '2':
        return 4;
    default:
        return kMsgNone;
    }
}

} // namespace vm::custview
