#include "modules/custlist/ui/ListReport.h"

namespace vm::lists {

using report::Alignment;
using report::ItemFont;
using report::ItemKind;
using report::ReportBand;
using report::ReportItem;

namespace {

constexpr double kLine = 10; // one stacked line
constexpr const char* kAmount = "#,##0.00;-#,##0.00";
constexpr const char* kWhole = "#,##0;-#,##0";
constexpr const char* kRate = "0.00";

ItemFont font(double size, bool bold = false) {
    ItemFont f;
    f.size = size;
    f.bold = bold;
    return f;
}

// A heading label; `line` 0 is the lowest of the stacked headings.
void heading(ReportBand& ph, const std::string& name, const std::string& text, double x, double w,
             int line = 0, Alignment a = Alignment::Left) {
    ph.add(ReportItem::label(name, text, x, 74 - kLine * line, w, kLine, a).withFont(font(7, true)));
}

ReportItem& field(ReportBand& band, const std::string& name, const std::string& fieldName, double x, double w,
                  int line = 0, Alignment a = Alignment::Left, const std::string& mask = {}) {
    return band.add(
        ReportItem::fieldItem(name, fieldName, x, kLine * line, w, kLine, a, mask).exportedAs(fieldName));
}

// A boolean field printed in the session's words.
ReportItem& flag(ReportBand& band, const std::string& name, const std::string& fieldName, double x, double w,
                 int line, const ListReportSetup& s) {
    return band
        .add(ReportItem::computed(
            name,
            [fieldName, yes = s.yes, no = s.no](const report::PrintContext& c) {
                return Value(c.row.value(fieldName).asBool() ? yes : no);
            },
            x, kLine * line, w, kLine))
        .exportedAs(fieldName);
}

void pageHeader(report::Report& r, const ListReportSetup& s) {
    auto& ph = r.pageHeader();
    ph.height = 88;
    ph.add(ReportItem::label("QRLabelCompany", s.companyName, 0, 0, 300, 14).withFont(font(11, true)));
    ph.add(ReportItem::label("QRLabelUser", s.userName, 0, 16, 300, 12).withFont(font(8)));
    ph.add(ReportItem::label("QRLabelTitle", r.title(), 0, 30, 360, 16).withFont(font(13, true)));
    ph.add(ReportItem::label("QRLabelDate", "Date :", 420, 0, 40, 12).withFont(font(8)));
    ph.add(ReportItem::special(ItemKind::PrintDate, "QRSysDate", 460, 0, 80, 12, Alignment::Right)
               .withFont(font(8)));
    ph.add(ReportItem::label("QRLabelTime", "Time :", 420, 12, 40, 12).withFont(font(8)));
    ph.add(ReportItem::special(ItemKind::PrintTime, "QRSysTime", 460, 12, 80, 12, Alignment::Right)
               .withFont(font(8)));
    ph.add(ReportItem::label("QRLabelPage", "Page :", 420, 24, 40, 12).withFont(font(8)));
    ph.add(ReportItem::special(ItemKind::PageNumber, "QRSysPage", 460, 24, 80, 12, Alignment::Right)
               .withFont(font(8)));
    ph.add(ReportItem::line("QRLineHeader", 0, 86, 540));
}

void detailedClients(report::Report& r, const ListReportSetup& s) {
    auto& ph = r.pageHeader();
    heading(ph, "QRLabelClient", "Client", 0, 48);
    heading(ph, "QRLabelName", "Name/Address", 50, 130);
    heading(ph, "QRLabelTel", "Telephone", 182, 62);
    heading(ph, "QRLabelShipVia", "Ship via", 246, 62);
    heading(ph, "QRLabelTax", "Tax", 310, 42, 1);
    heading(ph, "QRLabelProvincial", "Provincial", 310, 42);
    heading(ph, "QRLabelTerr", "Ter", 354, 28);
    heading(ph, "QRLabelSalesrep", "Salesrep", 384, 50);
    heading(ph, "QRLabelLastSale", "Lst sale", 436, 48, 2);
    heading(ph, "QRLabelLastPmt", "Lst Pmt", 436, 48, 1);
    heading(ph, "QRLabelCreation", "Creation", 436, 48);
    heading(ph, "QRLabelCredit", "Credit", 486, 34, 0, Alignment::Right);
    heading(ph, "QRLabelDis", "Dis", 522, 18, 0, Alignment::Right);

    auto& d = r.detail();
    d.height = kLine * 7 + 6;
    field(d, "QRCode", "Cli_code", 0, 48);
    const char* address[] = {"Cli_name", "Cli_adr1",    "Cli_adr2",       "Cli_city",
                             "Cli_prov", "Cli_country", "Cli_postal_code"};
    for (int i = 0; i < 7; ++i)
        field(d, std::string("QR") + (address[i] + 4), address[i], 50, 130, i);
    field(d, "QRTel", "Cli_tel", 182, 62);
    field(d, "QRShipVia", "Cli_ship_via", 246, 62).height = kLine * 4;
    flag(d, "QRTaxPro", "Cli_tax_pro", 310, 42, 0, s);
    d.add(ReportItem::label("QRLabelFederal", "Federal", 310, kLine * 1, 42, kLine));
    d.add(ReportItem::label("QRLabelTax1", "Tax", 310, kLine * 2, 42, kLine));
    flag(d, "QRTaxFed", "Cli_tax_fed", 310, 42, 3, s);
    field(d, "QRTerr", "Cli_terr", 354, 28);
    field(d, "QRSalesrep", "Cli_salesrep", 384, 50);
    d.add(ReportItem::label("QRLabelBillTo", "Bill to", 384, kLine * 1, 50, kLine));
    field(d, "QRChargeTo", "Cli_charge_to", 384, 50, 2);
    field(d, "QRLastSale", "Cli_date_last_sale", 436, 48, 0);
    field(d, "QRLastPmt", "Cli_date_last_pmt", 436, 48, 1);
    field(d, "QRCreated", "Cli_date_created", 436, 48, 2);
    field(d, "QRCredit", "Cli_credit_limit", 486, 34, 0, Alignment::Right, kWhole);
    field(d, "QRDiscount", "Cli_discount", 522, 18, 0, Alignment::Right, kRate);
}

void summaryClients(report::Report& r) {
    auto& ph = r.pageHeader();
    heading(ph, "QRLabelClient", "Client", 0, 50);
    heading(ph, "QRLabelName", "Name/Address", 52, 138);
    heading(ph, "QRLabelTel", "Telephone", 192, 64);
    heading(ph, "QRLabelShipVia", "Ship via", 258, 70);
    heading(ph, "QRLabelTerr", "Ter", 330, 24);
    heading(ph, "QRLabelSalesrep", "Salesrep", 356, 44);
    heading(ph, "QRLabelBillTo", "Bill to", 402, 44);
    heading(ph, "QRLabelCreation", "Creation", 448, 44);
    heading(ph, "QRLabelCredit", "Credit", 486, 34, 0, Alignment::Right);
    heading(ph, "QRLabelDis", "Dis", 522, 18, 0, Alignment::Right);
    auto& d = r.detail();
    d.height = kLine + 2;
    field(d, "QRCode", "Cli_code", 0, 50);
    field(d, "QRName", "Cli_name", 52, 138);
    field(d, "QRTel", "Cli_tel", 192, 64);
    field(d, "QRShipVia", "Cli_ship_via", 258, 70);
    field(d, "QRTerr", "Cli_terr", 330, 24);
    field(d, "QRSalesrep", "Cli_salesrep", 356, 44);
    field(d, "QRChargeTo", "Cli_charge_to", 402, 44);
    // The column is headed "Creation": it prints the creation date.
    field(d, "QRCreated", "Cli_date_created", 448, 44);
    field(d, "QRCredit", "Cli_credit_limit", 486, 34, 0, Alignment::Right, kWhole);
    field(d, "QRDiscount", "Cli_discount", 522, 18, 0, Alignment::Right, kRate);
}

void detailedSuppliers(report::Report& r) {
    auto& ph = r.pageHeader();
    heading(ph, "QRLabelSupplier", "Supplier", 0, 46);
    heading(ph, "QRLabelName", "Name/Address", 48, 128);
    heading(ph, "QRLabelTel", "Telephone", 178, 60);
    heading(ph, "QRLabelContact", "Contact", 240, 70);
    heading(ph, "QRLabelPurchase", "Purchase", 312, 46, 2);
    heading(ph, "QRLabelPayment", "Payment", 312, 46, 1);
    heading(ph, "QRLabelCreation", "Creation", 312, 46);
    heading(ph, "QRLabelCredit", "Credit", 360, 38, 0, Alignment::Right);
    heading(ph, "QRLabelPmt", "Pmt", 400, 28, 1, Alignment::Right);
    heading(ph, "QRLabelPmtDisc", "Disc.", 400, 28, 0, Alignment::Right);
    heading(ph, "QRLabelPurch", "Purch", 430, 28, 1, Alignment::Right);
    heading(ph, "QRLabelPurchDisc", "disc.", 430, 28, 0, Alignment::Right);
    heading(ph, "QRLabelBalance", "Current bal", 460, 80, 2, Alignment::Right);
    heading(ph, "QRLabelYtd", "Purch. YTD", 460, 80, 1, Alignment::Right);
    heading(ph, "QRLabelMtd", "Purch. MTD", 460, 80, 0, Alignment::Right);

    auto& d = r.detail();
    d.height = kLine * 7 + 6;
    field(d, "QRCode", "Sup_code", 0, 46);
    const char* address[] = {"Sup_name", "Sup_adr1",        "Sup_adr2",   "Sup_city",
                             "Sup_prov", "Sup_postal_code", "Sup_country"};
    for (int i = 0; i < 7; ++i)
        field(d, std::string("QR") + (address[i] + 4), address[i], 48, 128, i);
    field(d, "QRTel", "Sup_tel", 178, 60);
    field(d, "QRContact", "Sup_contact", 240, 70);
    field(d, "QRLastPurch", "Sup_date_last_purch", 312, 46, 0);
    field(d, "QRLastPmt", "Sup_date_last_pmt", 312, 46, 1);
    field(d, "QRCreated", "Sup_date_created", 312, 46, 2);
    field(d, "QRCredit", "Sup_credit_limit", 360, 38, 0, Alignment::Right, kWhole);
    field(d, "QRPmtDiscount", "Sup_pmt_discount", 400, 28, 0, Alignment::Right, kRate);
    field(d, "QRPurchDiscount", "Sup_purch_discount", 430, 28, 0, Alignment::Right, kRate);
    field(d, "QRBalance", "Sup_current_bal", 460, 80, 0, Alignment::Right, kAmount);
    field(d, "QRYtd", "Sup_purch_ytd", 460, 80, 1, Alignment::Right, kAmount);
    field(d, "QRMtd", "Sup_purch_mth", 460, 80, 2, Alignment::Right, kAmount);
}

void summarySuppliers(report::Report& r) {
    auto& ph = r.pageHeader();
    heading(ph, "QRLabelSupplier", "Supplier", 0, 50);
    heading(ph, "QRLabelName", "Name/Address", 52, 150);
    heading(ph, "QRLabelTel", "Telephone", 204, 66);
    heading(ph, "QRLabelContact", "Contact", 272, 90);
    heading(ph, "QRLabelCreation", "Creation", 364, 50);
    heading(ph, "QRLabelCredit", "Credit", 416, 40, 0, Alignment::Right);
    heading(ph, "QRLabelPmt", "Pmt.", 458, 30, 1, Alignment::Right);
    heading(ph, "QRLabelPmtDisc", "Disc.", 458, 30, 0, Alignment::Right);
    heading(ph, "QRLabelBalance", "Current bal", 490, 50, 0, Alignment::Right);
    auto& d = r.detail();
    d.height = kLine + 2;
    field(d, "QRCode", "Sup_code", 0, 50);
    field(d, "QRName", "Sup_name", 52, 150);
    field(d, "QRTel", "Sup_tel", 204, 66);
    field(d, "QRContact", "Sup_contact", 272, 90);
    // The column is headed "Creation": it prints the creation date.
    field(d, "QRCreated", "Sup_date_created", 364, 50);
    field(d, "QRCredit", "Sup_credit_limit", 416, 40, 0, Alignment::Right, kWhole);
    field(d, "QRPmtDiscount", "Sup_pmt_discount", 458, 30, 0, Alignment::Right, kRate);
    field(d, "QRBalance", "Sup_current_bal", 490, 50, 0, Alignment::Right, kAmount);
}

} // namespace

std::string ListReport::formName(const ListReportSetup& s) {
    return std::string(s.master == Master::Clients ? "Tcustlist" : "Tvendlist") +
           (s.detailed ? "_qrfrm" : "_qrfrm2");
}

std::unique_ptr<report::Report> ListReport::build(const ListReportSetup& s) {
    const bool clients = s.master == Master::Clients;
    auto r = std::make_unique<report::Report>(clients ? "List of Clients" : "List of suppliers");
    r->setLanguage(s.language);
    r->setDateMask(s.dateMask);
    r->defaultFont() = font(7);
    pageHeader(*r, s);
    if (clients && s.detailed)
        detailedClients(*r, s);
    else if (clients)
        summaryClients(*r);
    else if (s.detailed)
        detailedSuppliers(*r);
    else
        summarySuppliers(*r);
    // The CSV has one column per exported field, in the order of the band.
    std::vector<std::string> columns;
    for (const auto& item : r->detail().items)
        if (!item.csvColumn.empty()) columns.push_back(item.csvColumn);
    r->setCsvColumns(columns);
    if (clients && s.detailed && s.international) applyInternationalTaxTitles(*r, s.language);
    return r;
}

void ListReport::applyInternationalTaxTitles(report::Report& r, int language) {
    const bool english = language == 1;
    r.setCaption("QRLabelTax", english ? "Tax 2" : "Taxe 2");
    r.setCaption("QRLabelTax1", english ? "Tax 1" : "Taxe 1");
    r.setCaption("QRLabelProvincial", "");
    r.setCaption("QRLabelFederal", "");
}

} // namespace vm::lists
