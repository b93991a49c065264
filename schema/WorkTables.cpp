#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

namespace vm::schema {
namespace {

TableDef named(TableDef def, std::string name) {
    def.name = std::move(name);
    def.work = true;
    return def;
}

// Work tables are made in one transaction when the caller has none open, so
// that a failure leaves the session's previous set as it was.
template <class F> void inOneTransaction(Database& db, F&& make) {
    if (db.inTransaction()) {
        make();
        return;
    }
    Transaction tx(db);
    make();
    tx.commit();
}

void makeTotals(Database& companyDb, int sessionId) {
    const std::string name = workTableName("cxtmp", sessionId);
    companyDb.createTable(named(totalsLayout(), name), true);
    Cursor c(companyDb, name);
    c.insert();
    fillBlank(c);
    c.post();
}

} // namespace

void createCashReceiptWorkTables(Database& companyDb, Database& dataRootDb, int sessionId) {
    const std::string carTemp = workTableName("car_temp", sessionId);
    inOneTransaction(companyDb, [&] {
        companyDb.createTableFrom(dataRootDb, "car_temp0", carTemp, true);
        companyDb.createTableFrom(dataRootDb, "artmp", workTableName("artmp", sessionId), true);
        makeTotals(companyDb, sessionId);
    });
}

void createDisbursementWorkTables(Database& companyDb, Database& dataRootDb, int sessionId) {
    const std::string carTemp = workTableName("car_temp", sessionId);
    inOneTransaction(companyDb, [&] {
        companyDb.createTableFrom(dataRootDb, "car_temp1", carTemp, true);
        companyDb.createTable(named(distributionLayout("aptmp"), workTableName("aptmp", sessionId)), true);
        makeTotals(companyDb, sessionId);
    });
}

void createChequeLinesWorkTable(Database& companyDb, int sessionId) {
    const std::string name = workTableName("apchqdtmp", sessionId);
    inOneTransaction(companyDb, [&] { companyDb.createTable(named(chequeLinesWorkLayout(), name), true); });
}

void createChequeWorkTables(Database& companyDb, Database& dataRootDb, int sessionId) {
    const std::string lines = workTableName("apchqdtmp", sessionId);
    const std::string carTemp = workTableName("car_temp", sessionId);
    inOneTransaction(companyDb, [&] {
        companyDb.createTable(named(chequeLinesWorkLayout(), lines), true);
        companyDb.createTableFrom(dataRootDb, "car_temp1", carTemp, true);
    });
}

void createInquiryWorkTable(Database& companyDb, int sessionId) {
    const std::string name = workTableName("Cartmp", sessionId);
    inOneTransaction(companyDb, [&] { companyDb.createTable(named(inquiryWorkLayout(), name), true); });
}

} // namespace vm::schema
