#include "modules/custview/core/DocumentChoice.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::custview {
namespace {

bool invoiceIn(Database& company, const char* table, const LedgerRow& row) {
    Cursor c(company, table, true);
    return c.findKey({Value(row.type), Value(row.invoice)});
}

std::int64_t receiptSeq(Database& company, const LedgerRow& row) {
    Cursor c(company, "crorihdr", true);
    c.setIndex("Reference");
    return c.setRange({Value(row.reference), Value(row.client), Value(row.date)}) ? c.integer("Seq") : 0;
}

std::int64_t salesEntrySeq(Database& company, const LedgerRow& row) {
    Cursor c(company, "arori", true);
    c.setIndex("Reference");
    for (bool on = c.setRange({Value(row.invoice), Value(row.client), Value(row.date)}); on; on = c.next())
        if (c.str("Dr_cr_reference") == row.reference) return c.integer("Seq");
    return 0;
}

} // namespace

DocumentChoice chooseDocument(Database& company, const LedgerRow& row) {
    DocumentChoice d;
    auto receipt = [&] {
        if (std::int64_t seq = receiptSeq(company, row)) {
            d.kind = DocumentChoice::Kind::CashReceipt;
            d.seq = seq;
        }
        return d;
    };
    if (row.type == "2") return receipt();
    d.doc = row.type;
    d.invoice = row.invoice;
    if (invoiceIn(company, "fahdra", row)) {
        d.kind = DocumentChoice::Kind::ArchivedInvoice;
        return d;
    }
    if (invoiceIn(company, "fahdr", row)) {
        d.kind = DocumentChoice::Kind::CurrentInvoice;
        return d;
    }
    if (std::int64_t seq = salesEntrySeq(company, row)) {
        d.kind = DocumentChoice::Kind::SalesEntry;
        d.seq = seq;
        return d;
    }
    return receipt();
}

} // namespace vm::custview
