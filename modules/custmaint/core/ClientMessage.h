#pragma once

namespace vm::custmaint {

// Lines of the module's message list (IntlStrings1). The rules return these
// numbers and the form shows the line of the session's language.
enum ClientMessage : int {
    kNoMessage = -1,
    kMsgSalesmanEmpty = 0,
    kMsgPostalCodeMissing = 1,
    kMsgTermsMissing = 2,
    kMsgHasLedgerRows = 3,
    kMsgTerritoryNotFound = 4,
    kMsgTermsNotFound = 5,
    kMsgSalesmanNotFound = 6,
    kMsgBillToNotFound = 7,
    kMsgAccountNotFound = 8,
    kMsgPickerCaption = 9, // the caption of the client picker's window, not a message
    kMsgEmailMissing = 10,
    kMsgCodeNotFound = 11,
    kMsgCodeExists = 12,
    kMsgDeleteQuestion = 13,
    kMsgDeleteNamed = 14, // the delete question naming the client ("%1")
    kMsgLanguageRefused = 15,
    kMsgPostalCodeForm = 16, // a Canadian address needs a code of the form A1A 1A1
    kMsgDiscardChanges = 17,
};

} // namespace vm::custmaint
