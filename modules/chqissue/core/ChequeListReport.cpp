#include "modules/chqissue/core/ChequeListReport.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "report/CursorDataSource.h"
#include "report/MasterDetailDataSource.h"
#include "report/ReportItem.h"
#include "report/ReportLayouter.h"

namespace vm::chqissue {

using report::Alignment;
using report::ItemFont;
using report::ItemKind;
using report::ReportItem;

namespace {

constexpr const char* kMoney = "$###,###,##0.00";

ItemFont font(double size, bool bold = false) {
    ItemFont f;
    f.size = size;
    f.bold = bold;
    return f;
}

// Line columns: x and width in points (portrait: 540 wide).
struct Col {
    const char* label;
    const char* caption;
    const char* item;
    const char* field;
    double x, w;
    bool amount;
};
const Col kCols[] = {
    {"QRLabelInvoice", "Invoice", "QRInvoice", "Apchqd_invoice", 20, 80, false},
    {"QRLabelInvoiceDate", "Date of invoice", "QRInvoiceDate", "Apchqd_date", 104, 70, false},
    {"QRLabelDueDate", "Due date ", "QRDueDate", "Apchqd_du_date", 178, 70, false},
    {"QRLabelAmount", "Amount", "QRAmount", "Apchqd_montant", 252, 90, true},
    {"QRLabelDiscount", "Discount", "QRDiscount", "Apchqd_esc", 346, 90, true},
    {"QRLabelPayment", "Payment", "QRPayment", "Apchqd_payment", 440, 90, true},
};

} // namespace

std::unique_ptr<report::Report> ChequeListReport::build(const ChequeReportSetup& s) {
    auto r = std::make_unique<report::Report>("List of cheques to be issued");
    r->setLanguage(s.language);
    r->setDateMask(s.dateMask);
    r->defaultFont() = font(8);

    auto& ph = r->pageHeader();
    ph.height = 58;
    ph.add(ReportItem::label("QRLabelCompany", s.companyName, 0, 0, 300, 14).withFont(font(11, true)));
    ph.add(ReportItem::label("QRLabelDateCaption", "Date :", 420, 0, 40, 12));
    ph.add(ReportItem::special(ItemKind::PrintDate, "QRDate", 460, 0, 80, 12, Alignment::Right));
    ph.add(ReportItem::label("QRLabelPage", "Page : ", 420, 12, 40, 12));
    ph.add(ReportItem::special(ItemKind::PageNumber, "QRPage", 460, 12, 80, 12, Alignment::Right));
    ph.add(ReportItem::label("QRLabelUser", s.userName, 0, 16, 200, 12));
    ph.add(ReportItem::label("QRLabelTitle", r->title(), 120, 16, 300, 16, Alignment::Center)
               .withFont(font(13, true)));
    ph.add(ReportItem::label("QRLabelDueBy", "Transactions due up to this date: ", 120, 34, 220, 12,
                             Alignment::Right));
    ph.add(ReportItem::computed(
        "QRDueBy", [d = s.dueBy](const report::PrintContext&) { return Value(d); }, 342, 34, 80, 12));
    ph.add(ReportItem::line("QRLineHeader", 0, 52, 540));

    // One group per entry: payee, cheque date and amount, the amount in
    // words, then the headings of its lines.
    auto& g = r->addGroup("Apchqh_seq");
    auto& h = g.header;
    h.height = 108;
    h.add(ReportItem::label("QRLabelSupplier", "Code fournisseur", 0, 4, 110, 12).withFont(font(8, true)));
    h.add(ReportItem::fieldItem("QRSupplier", "Apchqh_fou", 112, 4, 80, 12).withFont(font(8, true)));
    h.add(ReportItem::fieldItem("QRSeq", "Apchqh_seq", 480, 4, 60, 12, Alignment::Right, "0"));
    const char* const address[] = {"Apchqh_nom", "Apchqh_adr1", "Apchqh_adr2", "Apchqh_city",
                                   "Apchqh_code_postal"};
    double y = 16;
    for (const char* f : address) {
        h.add(ReportItem::fieldItem(std::string("QR") + (f + 7), f, 20, y, 260, 11));
        y += 11;
    }
    h.add(ReportItem::fieldItem("QRprov", "Apchqh_prov", 20, y, 120, 11));
    h.add(ReportItem::fieldItem("QRcountry", "Apchqh_country", 144, y, 136, 11));
    h.add(ReportItem::label("QRLabelChequeDate", "Date chèque", 320, 16, 90, 12));
    h.add(ReportItem::fieldItem("QRChequeDate", "Apchqh_date_imp", 412, 16, 80, 12));
    h.add(ReportItem::label("QRLabelChequeAmount", "Montant chèque", 320, 28, 90, 12));
    h.add(
        ReportItem::fieldItem("QRChequeAmount", "Apchqh_Montant", 412, 28, 100, 12, Alignment::Right, kMoney)
            .withFont(font(8, true)));
    h.add(ReportItem::fieldItem("QRWords", "Apchqh_desc", 20, 84, 520, 11));
    for (const Col& c : kCols)
        h.add(ReportItem::label(c.label, c.caption, c.x, 96, c.w, 12,
                                c.amount ? Alignment::Right : Alignment::Left)
                  .withFont(font(8, true)));

    auto& det = r->detail();
    det.height = 12;
    for (const char* f : {"Apchqh_seq", "Apchqh_fou", "Apchqh_nom", "Apchqh_date_imp", "Apchqh_Montant"}) {
        det.add(ReportItem::fieldItem(std::string("QRExport") + f, f, 0, 0, 0, 0).exportedAs(f));
        det.items.back().exportOnly = true;
    }
    for (const Col& c : kCols)
        det.add(ReportItem::fieldItem(c.item, c.field, c.x, 0, c.w, 12,
                                      c.amount ? Alignment::Right : Alignment::Left, c.amount ? kMoney : "")
                    .exportedAs(c.field));
    std::vector<std::string> csv = {"Apchqh_seq", "Apchqh_fou", "Apchqh_nom", "Apchqh_date_imp",
                                    "Apchqh_Montant"};
    for (const Col& c : kCols)
        csv.push_back(c.field);
    r->setCsvColumns(csv);

    auto& f = g.footer;
    f.height = 22;
    f.add(ReportItem::line("QRLineTotals", 252, 1, 278));
    for (const Col& c : kCols) {
        if (!c.amount) continue;
        f.add(ReportItem::sum(std::string(c.item) + "Total", c.field, c.x, 4, c.w, 12, kMoney)
                  .withFont(font(8, true)));
        f.items.back().align = Alignment::Right;
    }

    // The entries' totals, counted once per entry whatever its lines.
    auto& sum = r->summary();
    sum.height = 40;
    sum.add(ReportItem::line("QRLineSummary", 0, 2, 540));
    sum.add(ReportItem::label("QRLabelTotal", "Total amount for cheques:", 200, 8, 200, 12, Alignment::Right)
                .withFont(font(9, true)));
    sum.add(ReportItem::label("QRLabelCount", "Number of cheques issued:", 200, 22, 200, 12, Alignment::Right)
                .withFont(font(9, true)));

    if (s.caption) {
        if (auto title = s.caption(kFormName)) {
            r->setTitle(*title);
            r->setCaption("QRLabelTitle", *title);
        }
        for (report::ReportBand* band : r->allBands())
            for (auto& item : band->items)
                if (item.kind == ItemKind::Label && !item.name.empty() && item.name != "QRLabelCompany" &&
                    item.name != "QRLabelUser")
                    if (auto text = s.caption(item.name)) item.text = *text;
    }
    r->applyCurrency(s.currencySymbol, s.symbolBefore);
    return r;
}

report::ReportDocument ChequeListReport::layOut(Database& db, const ChequeReportSetup& s) {
    Money total;
    std::int64_t count = 0;
    {
        Query q(db, "SELECT COUNT(*), SUM(Apchqh_Montant) FROM apchqh");
        if (q.next()) {
            count = q.value(0).asInt();
            total = q.money(1);
        }
    }
    auto r = build(s);
    if (!s.printedAt.isNull()) r->setPrintDateTime(s.printedAt);
    const std::string money = r->findItem("QRPaymentTotal")->mask;
    auto& sum = r->summary();
    sum.add(ReportItem::computed(
        "QRTotal", [total](const report::PrintContext&) { return Value(total); }, 402, 8, 110, 12,
        Alignment::Right, money));
    sum.items.back().font = font(9, true);
    sum.add(ReportItem::computed(
        "QRCount", [count](const report::PrintContext&) { return Value(count); }, 402, 22, 110, 12,
        Alignment::Right, "0"));
    sum.items.back().font = font(9, true);

    Cursor h(db, "apchqh", true);
    Cursor d(db, "apchqd", true);
    d.setIndex("Apchqd_seq");
    d.linkTo(h, {"Apchqh_seq"});
    report::CursorDataSource master(h), detail(d);
    report::MasterDetailDataSource source(
        master,
        [&]() -> report::DataSource& {
            detail.rewind();
            return detail;
        },
        true);
    r->setDataSource(&source);
    return report::ReportLayouter::run(*r);
}

} // namespace vm::chqissue
