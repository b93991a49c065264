#pragma once
#include "schema/Schema.h"

#include <cstdint>
#include <string>

namespace vm::admin {

struct DemoOptions {
    int clients = 40;
    int suppliers = 15;
    int invoices = 300;
    std::uint64_t seed = 20261130;
    // The language of the company's own texts: the chart, the price list and
    // currency names, the terms and territories it adds to the data root,
    // and, when the demo creates the company, its period names and aging
    // columns.
    schema::Language language = schema::Language::English;
};

struct DemoSummary {
    std::int64_t clients = 0, suppliers = 0;
    std::int64_t invoices = 0, receipts = 0;           // car rows of type "1" and "2"
    std::int64_t purchases = 0, disbursements = 0;     // cap rows of type "1" and "2"
    std::int64_t journalHeaders = 0, journalLines = 0; // tjlh, tjld
    bool companyCreated = false;
};

// Fills company 1 of the data root dataDir with a small Canadian business:
// chart of accounts, control settings, periods, salesmen, clients and
// suppliers in Québec and Ontario, client invoices with partial and full
// payments, supplier invoices with their payments, the pending journal of
// the receipts, purchases and disbursements, and balances equal to the
// ledgers. The same options give the same company. The company is created
// when missing; one that already holds clients, suppliers or ledger rows is
// refused (schema::SchemaError). Terms and territories are added to the data
// root when missing. Everything of the company is written in one
// transaction; a company created here is removed again on failure.
DemoSummary buildDemoCompany(const std::string& dataDir, const DemoOptions& options);

} // namespace vm::admin
