#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::custview {

// The documents behind ledger rows, read whole: each is one invoice, one
// sales entry or one receipt, small enough to hold in memory.

// A line's margin: (total - cost) / total x 100; none when the total is 0.
std::optional<double> marginPercent(Money total, Money cost);
// A line's markup: (total - cost) / cost x 100; none when the cost is 0.
std::optional<double> markupPercent(Money total, Money cost);

// A line without a line code and with nothing ordered carries only text.
bool isCommentLine(const std::string& lineCode, double qtyOrder);

struct PaymentLine {
    std::string name;
    Money amount;
};
// The payment methods an invoice prints: each named method with its amount,
// in the company's order; a method without a name is left out, whatever its
// amount.
std::vector<PaymentLine> namedPayments(const std::array<std::string, 10>& names,
                                       const std::array<Money, 10>& amounts);

struct InvoiceLine {
    std::string lineCode, itemCode, description;
    double qtyOrder = 0, qtyShip = 0, price = 0, discount = 0;
    Money tax1, tax2, total, cost;
    bool comment = false;
};

// What the invoice's footer prints: the sums of its lines (comment lines
// included, their zero amounts change nothing) and the invoice's margin and
// markup, 0 when the divisor is 0.
struct InvoiceTotals {
    Money total, tax1, tax2, cost;
    double margin = 0, markup = 0;
    Money sales() const { return total + tax1 + tax2; }
};
InvoiceTotals invoiceTotals(const std::vector<InvoiceLine>& lines);

struct InvoiceDocument {
    bool archived = false;
    std::string doc, invoice, client, clientName, salesman, salesmanName, terms, user;
    std::string shipName, shipAdr1, shipAdr2, shipCity, shipProv, shipCountry, shipPostal;
    Date date;
    DateTime stamp;
    std::int64_t store = 0;
    std::vector<InvoiceLine> lines;
    std::vector<PaymentLine> payments;
};

// Reads the invoice (doc, invoice) from fahdr/fadet, or fahdra/fadeta when
// `archived`, with its client, salesman, payment methods and, when the data
// root is given, its terms. Nothing when the header is not there.
std::optional<InvoiceDocument> readInvoice(Database& company, Database* dataRoot, bool archived,
                                           const std::string& doc, const std::string& invoice);

struct DistributionLine {
    std::int64_t account = 0;
    std::string description;
    Money debit, credit;
};

struct SalesEntryDocument {
    std::string reference, client, clientName, adr1, adr2, city, prov;
    std::string type, drCrReference, comments, user;
    Date date, dueDate;
    bool directCashSale = false;
    DateTime stamp;
    std::vector<DistributionLine> lines; // the lines that name an account
};
// Reads the sales entry record of this Seq; nothing when it is gone.
std::optional<SalesEntryDocument> readSalesEntry(Database& company, std::int64_t seq);

struct ReceiptInvoice {
    std::string invoice;
    Date date, dueDate;
    Money amount, payment;
};

struct ReceiptDocument {
    std::string reference, client, clientName, comments, user;
    Date date;
    bool notFromClient = false, nsfCheque = false;
    DateTime stamp;
    std::vector<DistributionLine> lines; // the lines that name an account
    std::vector<ReceiptInvoice> invoices;
};
// Reads the cash-receipt entry of this header Seq with the invoices it paid;
// nothing when it is gone.
std::optional<ReceiptDocument> readReceipt(Database& company, std::int64_t seq);

} // namespace vm::custview
