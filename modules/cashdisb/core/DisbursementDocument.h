#pragma once
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

// One row of the disbursement's general-ledger distribution. An account
// that was never filled in is nothing; 0 typed by the user is an account
// (and is refused at acceptance).
struct DistributionLine {
    std::optional<std::int32_t> account;
    std::string description;
    Money debit;
    Money credit;

    std::int32_t accountOrZero() const { return account.value_or(0); }
    bool hasAmount() const { return !debit.isZero() || !credit.isZero(); }
};

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
