#pragma once
#include "modules/custmaint/core/ClientMessage.h"

namespace vm::custmaint {

// The tab pages of the client window.
enum class ClientPage { General, Control, Comments };

// The controls a refusal sends the user back to.
enum class ClientField {
    Code,
    PostalCode,
    Email,
    Salesrep,
    Territory,
    Terms,
    BillTo,
    Account1,
    Account2,
    Account3,
};

// Why a row cannot be written: the message to show (kNoMessage: none) and
// where the user is sent back.
struct ClientRefusal {
    int message = kNoMessage;
    ClientField field = ClientField::Code;
    ClientPage page = ClientPage::General;

    bool operator==(const ClientRefusal&) const = default;
};

} // namespace vm::custmaint
