#pragma once
#include "modules/vendmaint/core/SupplierMessage.h"

namespace vm::vendmaint {

// The tab pages of the supplier window.
enum class SupplierPage { General, Control, Comments };

// The controls a refusal sends the user back to.
enum class SupplierField { Code, Email, Account1, Account2, Account3, PostalCode };

// Why a row cannot be written: the message to show and where the user is
// sent back.
struct SupplierRefusal {
    int message = kNoMessage;
    SupplierField field = SupplierField::Code;
    SupplierPage page = SupplierPage::General;

    bool operator==(const SupplierRefusal&) const = default;
};

} // namespace vm::vendmaint
