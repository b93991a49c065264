#pragma once
// A client with many ledger rows, for the benchmarks of its statement: one
// invoice and its payment in turn, from invoice number `firstInvoice` on.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

#include <string>

namespace vm::bench {

inline void addHeavyClientRows(Database& db, const std::string& client, int rows, int firstInvoice) {
    Transaction tx(db, true, true);
    Cursor car(db, "car");
    for (int i = 0; i < rows; ++i) {
        car.insert();
        schema::fillBlank(car);
        car.set("Car_client", client);
        car.set("Car_invoice", std::to_string(firstInvoice + i / 2));
        car.set("Car_ref", i % 2 ? "CHQ" : "");
        car.set("Car_date", Date::fromYmd(2026, 6, 1));
        car.set("Car_type", i % 2 ? "2" : "1");
        car.set("Car_amount", Money::fromUnits(i % 2 ? -100 : 100));
        car.post();
    }
    tx.commit();
}

} // namespace vm::bench
