#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"

namespace vm::schema::detail {
namespace {

TableDef ctrlTable() {
    using FT = FieldType;
    TableBuilder t("ctrl");
    t.int32("Ctrl_periods")
        .int32("Ctrl_gl_period")
        .int32("Ctrl_ar_period")
        .int32("Ctrl_ap_period")
        .int32("Ctrl_fa_period")
        .boolean("Ctrl_eom_gl")
        .boolean("Ctrl_eom_ar")
        .boolean("Ctrl_eom_ap")
        .boolean("Ctrl_eom_fa")
        .boolean("Ctrl_eom_pa")
        .int32("Ctrl_date_fmt")
        .each(1, 4,
              [](TableBuilder& b, const std::string& n) {
                  b.text("Ctrl_curr" + n + "_name", 30)
                      .flt("Ctrl_curr" + n + "_rate")
                      .text("Ctrl_curr" + n + "_sign", 2);
              })
        .boolean("Ctrl_ar_histo")
        .series(FT::Text, "Ctrl_pl_name", 1, 5, 15)
        .text("Ctrl_fed_tax_no", 20)
        .text("Ctrl_pro_tax_no", 20)
        .series(FT::Text, "Ctrl_pmt_name", 1, 10, 15)
        .series(FT::Int32, "Ctrl_pmt_accnt", 1, 10)
        .series(FT::Int32, "Ctrl_ar_days", 1, 5)
        .series(FT::Text, "Ctrl_ar_dname", 1, 5, 12)
        .int32("Ctrl_record_no")
        .flt("Ctrl_fed_rate")
        .series(FT::Float, "Ctrl_pro_rate", 1, 10)
        .date("Ctrl_payroll_start_date")
        .int32("Ctrl_ar_accnt")
        .int32("Ctrl_Pro_tax_accnt")
        .int32("Ctrl_fed_tax_accnt")
        .series(FT::Int32, "Ctrl_sales_accnt", 1, 8)
        .series(FT::Int32, "Ctrl_cr_accnt", 1, 8)
        .int32("Ctrl_ar_bal_for")
        .int32("Ctrl_ar_invoiceno")
        .series(FT::Int32, "Ctrl_bank_accnt", 1, 5)
        .int32("Ctrl_ap_accnt")
        .series(FT::Int32, "Ctrl_ap_purch_accnt", 1, 8)
        .series(FT::Int32, "Ctrl_ap_disb_accnt", 1, 8)
        .series(FT::Int32, "Ctrl_ap_days", 1, 5)
        .series(FT::Text, "Ctrl_ap_dname", 1, 5, 12)
        .boolean("Ctrl_ap_histo")
        .series(FT::Int32, "Ctrl_ap_chqno", 1, 5)
        .int32("Ctrl_fa_invoice")
        .int32("Ctrl_fa_order")
        .int32("Ctrl_fa_quote")
        .int32("Ctrl_fa_backorder")
        .text("Ctrl_alt_key1", 15)
        .text("Ctrl_alt_key2", 15)
        .int32("Ctrl_general_sales_accnt")
        .series(FT::Int32, "Ctrl_ar_curr", 2, 5)
        .series(FT::Int32, "Ctrl_ap_curr", 2, 5)
        .each(1, 5,
              [](TableBuilder& b, const std::string& n) {
                  b.text("Ctrl_dollars" + n, 20).text("Ctrl_cents" + n, 20);
              })
        .int32("Ctrl_recuring_doc")
        .flt("Ctrl_pro_rate02")
        .series(FT::Int32, "Ctrl_pro_tax_accnt", 1, 9)
        .int32("Ctrl_ApCopies")
        .int32("Ctrl_ArCopies")
        .series(FT::Int32, "Ctrl_cash", 1, 10)
        .series(FT::Text, "Ctrl_desc", 1, 10, 30)
        .boolean("Ctrl_IncludeAp")
        .boolean("Ctrl_Manual_Numbering")
        .boolean("Ctrl_Manual_Numbering_O")
        .boolean("Ctrl_Manual_Numbering_Q");
    return t;
}

TableDef glmTable() {
    return TableBuilder("glm")
        .int32("Glm_account", true)
        .text("Glm_Description", 60, true)
        .text("Glm_type", 15)
        .text("Glm_summarize", 1, true)
        .series(FieldType::Money, "Glm_budget", 1, 14)
        .series(FieldType::Money, "Glm_current", 1, 14)
        .series(FieldType::Money, "Glm_ly", 1, 14)
        .int32("Glm_currency")
        .key({"Glm_account"});
}

TableDef cliTable() {
    return TableBuilder("cli")
        .text("Cli_code", 10, true)
        .text("Cli_name", 60)
        .text("Cli_adr1", 40)
        .text("Cli_adr2", 40)
        .text("Cli_city", 40)
        .text("Cli_prov", 40)
        .text("Cli_country", 40)
        .text("Cli_postal_code", 30)
        .text("Cli_tel", 30)
        .text("Cli_fax", 30)
        .text("Cli_contact", 40)
        .text("Cli_contact_tel", 30)
        .text("Cli_email", 60)
        .text("Cli_charge_to", 12)
        .text("Cli_salesrep", 12)
        .text("Cli_terr", 12)
        .text("Cli_language", 1)
        .text("Cli_bank", 40)
        .text("Cli_bank_manager", 40)
        .text("Cli_bank_tel", 30)
        .int32("Cli_terms")
        .memo("Cli_ship_via", 40)
        .date("Cli_date_created")
        .date("Cli_date_last_sale")
        .date("Cli_date_last_pmt")
        .boolean("Cli_tax_fed")
        .boolean("Cli_tax_pro")
        .boolean("Cli_po_req")
        .int32("Cli_du_days")
        .int32("Cli_credit_limit")
        .int32("Cli_price_list")
        .flt("Cli_discount")
        .money("Cli_current_bal")
        .date("Cli_nsf_date")
        .money("Cli_last_sale")
        .money("Cli_sales_mth")
        .money("Cli_sales_ytd")
        .memo("Cli_comments", 200)
        .text("Cli_user", 10)
        .dateTime("Cli_stamp")
        .int32("Cli_currency")
        .boolean("Cli_credit_hold")
        .boolean("Cli_block_orders")
        .boolean("Cli_email_statement")
        .boolean("Cli_email_invoice")
        .series(FieldType::Int32, "Cli_accnt", 1, 3)
        .int32("Cli_copies")
        .series(FieldType::Text, "Cli_format", 1, 3, 40)
        .key({"Cli_code"})
        .index("clislsm", {"Cli_salesrep", "Cli_code"});
}

TableDef supTable() {
    return TableBuilder("sup")
        .text("Sup_code", 10, true)
        .text("Sup_name", 60)
        .text("Sup_adr1", 40)
        .text("Sup_adr2", 40)
        .text("Sup_city", 40)
        .text("Sup_prov", 40)
        .text("Sup_country", 40)
        .text("Sup_postal_code", 30)
        .text("Sup_tel", 30)
        .text("Sup_fax", 30)
        .text("Sup_contact", 40)
        .text("Sup_contact_tel", 30)
        .text("Sup_email", 60)
        .text("Sup_terr", 12)
        .text("Sup_language", 1)
        .date("Sup_date_created")
        .date("Sup_date_last_purch")
        .date("Sup_date_last_pmt")
        .boolean("Sup_po_req")
        .int32("Sup_du_days")
        .int32("Sup_credit_limit")
        .flt("Sup_pmt_discount")
        .flt("Sup_purch_discount")
        .money("Sup_current_bal")
        .money("Sup_last_purch")
        .money("Sup_purch_mth")
        .money("Sup_purch_ytd")
        .memo("Sup_comments", 200)
        .text("Sup_user", 10)
        .dateTime("Sup_stamp")
        .int32("Sup_currency")
        .int32("Sup_bank_account")
        .boolean("Sup_email_po")
        .series(FieldType::Int32, "Sup_accnt", 1, 3)
        .int32("Sup_copies")
        .key({"Sup_code"})
        .index("Supname", {"Sup_name", "Sup_code"});
}

} // namespace

std::vector<TableDef> masterTableDefs() {
    std::vector<TableDef> t;
    t.push_back(ctrlTable());
    t.push_back(glmTable());
    t.push_back(cliTable());
    t.push_back(TableBuilder("cli2")
                    .text("Cli2_code", 10)
                    .boolean("Cli2_email_statement")
                    .boolean("Cli2_email_invoice")
                    .series(FieldType::Int32, "Cli2_accnt", 1, 3)
                    .int32("Cli2_copies")
                    .key({"Cli2_code"}));
    t.push_back(supTable());
    t.push_back(TableBuilder("slsm")
                    .text("Slsm_code", 10)
                    .text("Slsm_nom", 40)
                    .series(FieldType::Float, "Slsm_taux", 1, 5)
                    .money("Slsm_vente_cumul")
                    .money("Slsm_vente_mois")
                    .money("Slsm_dern_vente")
                    .text("Slsm_user", 10)
                    .dateTime("Slsm_stamp")
                    .key({"Slsm_code"}));
    t.push_back(TableBuilder("trkdb")
                    .int32("Trkdb_account", true)
                    .text("Trkdb_name", 60, true)
                    .int32("Trkdb_type", true)
                    .key({"Trkdb_account"}));
    t.push_back(TableBuilder("ivctrl").series(FieldType::Text, "Ivctrl_pl_name", 6, 9, 15));
    t.push_back(TableBuilder("ivprod")
                    .text("Ivprod_line_code", 3)
                    .text("Ivprod_item_code", 18)
                    .text("Ivprod_desc_1", 40)
                    .text("Ivprod_desc_2", 40)
                    .text("Ivprod_um", 3)
                    .flt("Ivprod_price1")
                    .key({"Ivprod_line_code", "Ivprod_item_code"}));
    t.push_back(TableBuilder("Periods").int32("Period_no").text("Period_mth").key({"Period_no"}));
    return t;
}

} // namespace vm::schema::detail
