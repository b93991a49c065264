#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"
#include "schema/Tables.h"

namespace vm::schema {
namespace {

// The ledger rows of car and carh, and of the open-item work tables, which
// add the amount being applied after the tax parts.
TableBuilder ledgerRows(std::string name, bool withPayment) {
    TableBuilder t(std::move(name));
    t.text("Car_client", 10)
        .text("Car_invoice", 10)
        .text("Car_ref", 10)
        .date("Car_date")
        .text("Car_type", 1)
        .autoInc("Car_seq")
        .date("Car_du_date")
        .money("Car_amount")
        .memo("Car_memo", 200)
        .text("Car_slsm", 10)
        .money("Car_pro_tax")
        .money("Car_fed_tax");
    if (withPayment) t.money("Car_Payment");
    t.text("Car_user", 10).dateTime("Car_stamp");
    return t;
}

TableDef ledgerTable(std::string name) {
    // No primary key: rows are identified by Car_seq. One client's rows come
    // grouped by invoice through the client index.
    return ledgerRows(std::move(name), false)
        .index("Car_client", {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_seq"});
}

} // namespace

TableDef carTempLayout() {
    return ledgerRows("car_temp", true).index("Invoice", {"Car_invoice"});
}

TableDef distributionLayout(std::string_view name) {
    return TableBuilder(std::string(name))
        .int32("Tmp_account")
        .text("Tmp_desc", 30)
        .money("Tmp_debit")
        .money("Tmp_credit");
}

TableDef totalsLayout() {
    return TableBuilder("cxtmp").money("TotalDebit").money("TotalCredit");
}

TableDef inquiryWorkLayout() {
    return TableBuilder("Cartmp")
        .text("Cartmp_client", 10)
        .text("Cartmp_invoice", 10)
        .text("cartmp_ref", 10)
        .date("Cartmp_date")
        .text("Cartmp_type", 1)
        .int32("Cartmp_seq")
        .money("Cartmp_balance")
        .key({"Cartmp_client", "Cartmp_invoice", "cartmp_ref", "Cartmp_date", "Cartmp_type", "Cartmp_seq"});
}

namespace detail {

TableBuilder& distributionColumns(TableBuilder& t, int lines) {
    return t.series(FieldType::Int32, "Account", 1, lines)
        .series(FieldType::Money, "Debit", 1, lines)
        .series(FieldType::Money, "Credit", 1, lines);
}

std::vector<TableDef> receivablesTableDefs() {
    std::vector<TableDef> t;
    t.push_back(ledgerTable("car"));
    t.push_back(ledgerTable("carh"));

    TableBuilder hdr("crorihdr");
    hdr.text("Reference", 10)
        .text("Client", 10)
        .date("Date")
        .autoInc("Seq")
        .boolean("Not_from_cli")
        .boolean("Nsf_cheque")
        .memo("Comments", 240);
    distributionColumns(hdr, 20).dateTime("Stamp").text("User", 20);
    // The inquiry links receipts to ledger rows by reference, client and date.
    hdr.key({"Seq"}).index("Reference", {"Reference", "Client", "Date", "Seq"});
    t.push_back(hdr);

    t.push_back(TableBuilder("croridet")
                    .text("Reference", 10)
                    .text("Client", 10)
                    .date("Date")
                    .int32("Header_seq")
                    .autoInc("Seq")
                    .text("Invoice", 10)
                    .date("Invoice_date")
                    .date("Invoice_due_date")
                    .money("Invoice_amount")
                    .money("Invoice_payment")
                    .key({"Seq"})
                    .index("Reference", {"Reference", "Client", "Date", "Header_seq", "Seq"}));

    t.push_back(TableBuilder("concil")
                    .int32("Concil_type")
                    .text("Concil_reference", 10)
                    .autoInc("Concil_seq")
                    .text("Concil_fou_cli_emp", 10)
                    .text("Concil_nom", 40)
                    .date("Concil_date")
                    .money("Concil_montant")
                    .boolean("Concil_tag")
                    .int32("Concil_account")
                    .key({"Concil_seq"}));
    return t;
}

} // namespace detail
} // namespace vm::schema
