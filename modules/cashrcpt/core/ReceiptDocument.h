#pragma once
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

// One line of the receipt's general-ledger distribution. An account that
// was never filled in is nothing; 0 typed by the user is an account (and is
// refused at acceptance unless the chart has it).
struct DistributionLine {
    std::optional<std::int32_t> account;
    std::string description;
    Money debit;
    Money credit;

    std::int32_t accountOrZero() const { return account.value_or(0); }
    bool hasAmount() const { return !debit.isZero() || !credit.isZero(); }
};

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
