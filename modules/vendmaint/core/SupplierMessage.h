#pragma once

namespace vm::vendmaint {

// Lines of the module's message list (IntlStrings1). The rules return these
// numbers and the form shows the line of the session's language.
enum SupplierMessage : int {
    kNoMessage = -1,
    kMsgAccountNotFound = 0,
    kMsgBankAccount = 1, // kept in the list; not used by this window
    kMsgHasPayables = 2,
    kMsgPickerCaption = 3, // the caption of the supplier picker's window, not a message
    kMsgEmailMissing = 4,
    kMsgCodeNotFound = 5,
    kMsgCodeMissing = 6,
    kMsgCodeExists = 7,
    kMsgDeleteQuestion = 8,
    kMsgDeleteNamed = 9,     // the delete question naming the supplier ("%1")
    kMsgPostalCodeForm = 10, // a Canadian address needs a code of the form A1A 1A1
    kMsgDiscardChanges = 11,
};

} // namespace vm::vendmaint
