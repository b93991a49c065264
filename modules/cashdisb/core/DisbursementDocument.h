#pragma once
#include "common/journal/DistributionLines.h"
#include "engine/Date.h"
#include "engine/Money.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm::cashdisb {

// One invoice of the supplier's open-invoice list and what this
// disbursement pays on it. A negative payment takes back an earlier one.
struct InvoicePayment {
    std::string invoice;
    Date invoiceDate; // date of its first ledger entry
    Date dueDate;
    Money openAmount; // all its ledger entries summed, before this payment
    Money payment;
};

// One row of the general-ledger distribution.
using journal::DistributionLine;

// A cash disbursement as typed: to a supplier (payments applied to its
// invoices) or not (a bare distribution with a memo).
struct DisbursementDocument {
    static constexpr int kMaxLines = 20;

    bool notToSupplier = false;
    std::string supplier; // empty when not to a supplier
    Date date;
    std::string reference; // cheque or transfer number
    std::string memo;
    std::vector<InvoicePayment> invoices; // disbursements to a supplier only
    std::vector<DistributionLine> lines;  // at most kMaxLines, in entry order
};

} // namespace vm::cashdisb
