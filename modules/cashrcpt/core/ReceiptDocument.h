#pragma once
#include "common/journal/DistributionLines.h"
#include "engine/Date.h"
#include "engine/Money.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm::cashrcpt {

// One invoice of the client's open-invoice list and what this receipt pays
// on it. A negative payment reverses an earlier one.
struct InvoicePayment {
    std::string invoice;
    std::string salesman; // Car_slsm of the invoice
    Date invoiceDate;     // date of its first ledger entry
    Date dueDate;
    Money openAmount; // all its ledger entries summed, before this receipt
    Money payment;
};

// One row of the general-ledger distribution.
using journal::DistributionLine;

// A cash receipt as typed: from a client (payments applied to its invoices)
// or not (a bare distribution with a memo).
struct ReceiptDocument {
    static constexpr int kMaxLines = 20;

    bool notFromClient = false;
    std::string client; // empty when not from a client
    Date date;
    std::string reference;
    std::string memo;
    bool nsfCheque = false;
    std::vector<InvoicePayment> invoices; // client receipts only
    std::vector<DistributionLine> lines;  // at most kMaxLines, in entry order
};

} // namespace vm::cashrcpt
