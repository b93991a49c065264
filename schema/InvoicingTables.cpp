#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"

namespace vm::schema::detail {
namespace {

// Current (Fahdr_) and archived (Fahdra_) invoice headers differ only in the
// prefix of their field names.
TableDef invoiceHeader(const std::string& table, const std::string& p) {
    TableBuilder t(table);
    t.text(p + "doc", 1)
        .text(p + "invoice", 10)
        .text(p + "client", 10)
        .int32(p + "order")
        .date(p + "date")
        .date(p + "du_date")
        .text(p + "slsm", 10)
        .flt(p + "comm");
    for (const char* f : {"shp_nom", "shp_adr1", "shp_adr2", "shp_city", "shp_prov", "shp_country"})
        t.text(p + f, 40);
    t.text(p + "shp_cp", 12)
        .text(p + "shp_tel")
        .text(p + "charge_to", 10)
        .int32(p + "terms")
        .text(p + "po")
        .date(p + "date_shp")
        .text(p + "ship_via", 40)
        .money(p + "total")
        .money(p + "tax1")
        .money(p + "tax2")
        .money(p + "g_total")
        .memo(p + "memo", 240)
        .date(p + "date_order")
        .time(p + "time_order")
        .time(p + "time_invoice")
        .int32(p + "status")
        .series(FieldType::Money, p + "pmt", 1, 10)
        .money(p + "pmt_received")
        .money(p + "tender")
        .text(p + "user", 10)
        .dateTime(p + "stamp")
        .int32(p + "duration")
        .date(p + "start_date")
        .date(p + "end_date")
        .int32(p + "type")
        .date(p + "last_invoice_date")
        .date(p + "next_invoice_date")
        .int32(p + "dys_mths_yrs")
        .int32(p + "store")
        .key({p + "doc", p + "invoice"});
    return t;
}

TableDef invoiceLines(const std::string& table, const std::string& p) {
    TableBuilder t(table);
    t.text(p + "doc", 1)
        .text(p + "invoice", 10)
        .autoInc(p + "line")
        .text(p + "line_code", 3)
        .text(p + "item_code", 18)
        .text(p + "desc", 80)
        .boolean(p + "kit")
        .boolean(p + "core")
        .flt("Fadet_core_cost") // the archived table kept this one name
        .flt(p + "qty_order")
        .flt(p + "qty_ship")
        .boolean(p + "bo")
        .boolean(p + "tax1_code")
        .boolean(p + "tax2_code")
        .flt(p + "price")
        .flt(p + "discount")
        .int32(p + "sales_accnt")
        .int32(p + "cost_accnt")
        .money(p + "cost")
        .money(p + "total")
        .money(p + "tax1")
        .money(p + "tax2")
        .text(p + "bin_loc", 6)
        .flt(p + "perc_comm")
        .index(p + "invoice", {p + "doc", p + "invoice", p + "line"});
    return t;
}

// A printed layout: items placed in inches, the page geometry and the fonts.
void printLayout(std::vector<TableDef>& out, const std::string& items, const std::string& page,
                 const std::string& fonts, const std::string& p) {
    out.push_back(TableBuilder(items)
                      .autoInc(p + "_index")
                      .text(p + "_field", 30)
                      .flt(p + "_line")
                      .flt(p + "_pos")
                      .text(p + "_band", 10)
                      .key({p + "_index"}));
    out.push_back(TableBuilder(page)
                      .flt(p + "1_page_len")
                      .flt(p + "1_page_width")
                      .flt(p + "1_header_len")
                      .flt(p + "1_detail_len")
                      .flt(p + "1_footer_len"));
    out.push_back(TableBuilder(fonts)
                      .int32("Index")
                      .int32("Style")
                      .int32("Size")
                      .int32("Width")
                      .text("Fontname", 30)
                      .key({"Index"}));
}

} // namespace

std::vector<TableDef> invoicingTableDefs() {
    std::vector<TableDef> t;
    t.push_back(invoiceHeader("fahdr", "Fahdr_"));
    t.push_back(invoiceLines("fadet", "Fadet_"));
    t.push_back(invoiceHeader("fahdra", "Fahdra_"));
    t.push_back(invoiceLines("fadeta", "Fadeta_"));

    // The invoice layout orders its item columns field, band, line, position.
    t.push_back(TableBuilder("fa1frm")
                    .autoInc("Fafrm_index")
                    .text("Fafrm_field", 30)
                    .text("Fafrm_band", 10)
                    .flt("Fafrm_line")
                    .flt("Fafrm_pos")
                    .key({"Fafrm_index"}));
    t.push_back(TableBuilder("fa1frm1")
                    .flt("Fafrm1_page_len")
                    .flt("Fafrm1_page_width")
                    .flt("Fafrm1_header_len")
                    .flt("Fafrm1_detail_len")
                    .flt("Fafrm1_footer_len"));
    t.push_back(TableBuilder("fa1frm2")
                    .int32("Index")
                    .int32("Style")
                    .int32("Size")
                    .int32("Width")
                    .text("Fontname", 30)
                    .key({"Index"}));
    // The names of the invoice formats a client can be given (Cli_format1..3).
    t.push_back(TableBuilder("Fafrm1").text("Name", 40).key({"Name"}));

    printLayout(t, "arecfrm", "arecfrm1", "arecfrm2", "Arecfrm");
    printLayout(t, "Earecfrm", "Earecfrm1", "Earecfrm2", "Arecfrm");
    return t;
}

} // namespace vm::schema::detail
