#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"
#include "schema/Tables.h"

namespace vm::schema {
namespace {

// Entries (apchqh) and recurring templates (recchqh) keep the same field
// names: values are copied between them position by position.
TableDef chequeHeader(std::string name) {
    return TableBuilder(std::move(name))
        .int32("Apchqh_seq")
        .text("Apchqh_fou", 10)
        .date("Apchqh_date_imp")
        .text("Apchqh_nom", 60)
        .text("Apchqh_adr1", 40)
        .text("Apchqh_adr2", 40)
        .text("Apchqh_city", 40)
        .text("Apchqh_code_postal", 20)
        .text("Apchqh_prov", 20)
        .text("Apchqh_country", 40)
        .text("Apchqh_cheque", 10)
        .money("Apchqh_Montant")
        .series(FieldType::Int32, "Apchqh_accnt", 1, 10)
        .series(FieldType::Money, "Apchqh_dist", 1, 10)
        .text("Apchqh_desc", 240)
        .key({"Apchqh_seq"});
}

TableBuilder chequeLines(std::string name, bool seqRequired) {
    TableBuilder t(std::move(name));
    t.int32("Apchqd_seq", seqRequired)
        .autoInc("Apchqd_inc")
        .text("Apchqd_fou", 10)
        .text("Apchqd_invoice", 10)
        .date("Apchqd_date")
        .date("Apchqd_du_date")
        .money("Apchqd_montant")
        .money("Apchqd_esc")
        .money("Apchqd_payment");
    return t;
}

TableDef chequeLineTable(std::string name) {
    return chequeLines(std::move(name), false)
        .key({"Apchqd_inc"})
        .index("Apchqd_seq", {"Apchqd_seq", "Apchqd_inc"});
}

} // namespace

TableDef chequeLinesWorkLayout() {
    return chequeLines("apchqdtmp", true);
}

namespace detail {

std::vector<TableDef> chequeTableDefs() {
    return {chequeHeader("apchqh"), chequeLineTable("apchqd"), chequeHeader("recchqh"),
            chequeLineTable("recchqd")};
}

} // namespace detail
} // namespace vm::schema
