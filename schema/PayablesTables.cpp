#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"

namespace vm::schema::detail {
namespace {

TableDef payablesLedger(std::string name) {
    // Not unique: an invoice and its payments share supplier and invoice.
    return TableBuilder(std::move(name))
        .text("Cap_supplier", 10)
        .text("Cap_invoice", 10)
        .text("Cap_ref", 10)
        .date("Cap_date")
        .text("Cap_type", 1)
        .autoInc("Cap_seq")
        .date("Cap_du_date")
        .money("Cap_amount")
        .memo("Cap_memo", 200)
        .text("Cap_user", 10)
        .dateTime("Cap_stamp")
        .index("Cap_supplier", {"Cap_supplier", "Cap_invoice", "Cap_seq"});
}

// Purchase (apori) and sales (arori) entry records share one shape; only the
// party column, the direct-entry box and the purchase-order number differ.
TableDef entryRecord(std::string name, const char* party, const char* direct, bool withPo) {
    TableBuilder t(std::move(name));
    t.text("Reference", 10)
        .text(party, 10)
        .date("Date")
        .autoInc("Seq")
        .date("Due_date")
        .boolean(direct)
        .text("Trx_type", 1)
        .text("Dr_cr_reference", 10)
        .memo("Comments", 240);
    if (withPo) t.text("PO", 10);
    distributionColumns(t, 15).dateTime("Stamp").text("User").boolean("DebitCredit");
    return t.key({"Seq"}).index("Reference", {"Reference", party, "Date", "Seq"});
}

} // namespace

std::vector<TableDef> payablesTableDefs() {
    std::vector<TableDef> t;
    t.push_back(payablesLedger("cap"));
    t.push_back(payablesLedger("caph"));

    t.push_back(TableBuilder("tjlh")
                    .int32("Tjlh_period")
                    .int32("Tjlh_journal")
                    .text("Tjlh_reference", 30)
                    .date("Tjlh_date")
                    .text("Tjlh_type", 30)
                    .money("Tjlh_tot_debit")
                    .money("Tjlh_tot_credit")
                    .memo("Tjlh_memo", 240)
                    .text("Tjlh_user", 10)
                    .dateTime("Tjlh_stamp")
                    .key({"Tjlh_period", "Tjlh_journal", "Tjlh_reference", "Tjlh_date"}));

    t.push_back(TableBuilder("tjld")
                    .int32("Tjld_period")
                    .int32("Tjld_journal")
                    .text("Tjld_reference", 30)
                    .date("Tjld_date")
                    .autoInc("Tjld_autoinc")
                    .int32("Tjld_account")
                    .money("Tjld_debit")
                    .money("Tjld_credit")
                    .text("Tjld_description", 60)
                    .index("Tjld_period",
                           {"Tjld_period", "Tjld_journal", "Tjld_reference", "Tjld_date", "Tjld_autoinc"}));

    t.push_back(TableBuilder("gla")
                    .int32("Gla_accnt")
                    .int32("Gla_period")
                    .int32("Gla_jrnl")
                    .date("Gla_date")
                    .text("Gla_reference")
                    .money("Gla_amount")
                    .text("Gla_type", 1)
                    .autoInc("Gla_seq")
                    .memo("Gla_desc", 200)
                    .index("Gla_accnt", {"Gla_accnt", "Gla_period", "Gla_seq"}));

    t.push_back(entryRecord("apori", "Supplier", "Direct_cash_purchase", true));
    t.push_back(entryRecord("arori", "Client", "Direct_cash_sale", false));

    TableBuilder hdr("cdorihdr");
    hdr.text("Reference", 10)
        .text("Supplier", 10)
        .date("Date")
        .autoInc("Seq")
        .boolean("Not_to_sup")
        .memo("Comments", 240);
    distributionColumns(hdr, 20).dateTime("Stamp").text("User");
    hdr.key({"Seq"}).index("Reference", {"Reference", "Supplier", "Date", "Seq"});
    t.push_back(hdr);

    t.push_back(TableBuilder("cdoridet")
                    .text("Reference", 10)
                    .text("Supplier", 10)
                    .date("Date")
                    .int32("Header_seq")
                    .autoInc("Seq")
                    .text("Invoice", 10)
                    .date("Invoice_date")
                    .date("Invoice_due_date")
                    .money("Invoice_amount")
                    .money("Invoice_payment")
                    .key({"Seq"})
                    .index("Reference", {"Reference", "Supplier", "Date", "Header_seq", "Seq"}));
    return t;
}

} // namespace vm::schema::detail
