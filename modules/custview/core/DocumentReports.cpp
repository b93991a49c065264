#include "modules/custview/core/DocumentReports.h"

#include "modules/custview/core/InquiryMessage.h"
#include "report/MaskFormatter.h"
#include "report/VectorDataSource.h"

namespace vm::custview {

using report::Alignment;
using report::ItemFont;
using report::ItemKind;
using report::PrintContext;
using report::ReportBand;
using report::ReportItem;

namespace {

constexpr const char* kMoney = "#,##0.00;-#,##0.00";
constexpr const char* kPercent = "##0.00";

ItemFont font(double size, bool bold = false) {
    ItemFont f;
    f.size = size;
    f.bold = bold;
    return f;
}

// A value printed as it stands, whatever the row.
ReportItem valueItem(std::string name, Value v, double x, double y, double w, double h,
                     Alignment a = Alignment::Left, std::string mask = {}) {
    return ReportItem::computed(
        std::move(name), [v](const PrintContext&) { return v; }, x, y, w, h, a, std::move(mask));
}

// Several lines as one item; the band grows to hold them.
ReportItem block(std::string name, std::string text, double x, double y, double w, double h,
                 Alignment a = Alignment::Left) {
    ReportItem it = valueItem(std::move(name), Value(std::move(text)), x, y, w, h, a);
    it.grows = true;
    return it;
}

Value moneyOrBlank(Money m) {
    return m.isZero() ? Value() : Value(m);
}

Value percentOrBlank(std::optional<double> p) {
    return p ? Value(*p) : Value();
}

std::string joinLines(std::initializer_list<std::string> parts) {
    std::string out;
    for (const auto& p : parts) {
        if (p.find_first_not_of(' ') == std::string::npos) continue;
        if (!out.empty()) out += '\n';
        out += p;
    }
    return out;
}

std::string typeName(const DocumentSetup& s, const std::string& type) {
    const int line = type.empty() ? kMsgNone : typeNameMessage(type[0]);
    return line < 0 ? type : s.typeNames[static_cast<std::size_t>(line)];
}

std::unique_ptr<report::Report> newReport(const DocumentSetup& s, bool landscape) {
    auto r = std::make_unique<report::Report>(s.title);
    if (landscape) r->pageSetup().orientation = report::PageSetup::Orientation::Landscape;
    r->setLanguage(s.language);
    r->setDateMask(s.dateMask);
    r->defaultFont() = font(8);
    if (!s.printedAt.isNull()) r->setPrintDateTime(s.printedAt);
    return r;
}

// Company, title and page number, then who entered the document and when;
// returns the height used.
double pageTop(report::Report& r, const DocumentSetup& s, double width, const char* stampCaption,
               DateTime stamp, const std::string& user) {
    auto& ph = r.pageHeader();
    ph.add(valueItem("QRCompany", Value(s.companyName), 0, 0, width / 2 - 100, 14).withFont(font(10, true)));
    ph.add(ReportItem::label("QRLabelTitle", s.title, width / 2 - 160, 0, 320, 16, Alignment::Center)
               .withFont(font(13, true)));
    ph.add(ReportItem::label("QRLabelPage", "Page:", width - 100, 0, 50, 12));
    ph.add(ReportItem::special(ItemKind::PageNumber, "QRPage", width - 48, 0, 48, 12, Alignment::Right));
    ph.add(ReportItem::label("QRLabelStamp", stampCaption, 0, 22, 90, 12));
    ph.add(valueItem("QRStamp", stamp.isNull() ? Value() : Value(stamp), 92, 22, 130, 12, Alignment::Left,
                     s.dateMask + " hh:nn"));
    ph.add(ReportItem::label("QRLabelUser", "Entered by:", 232, 22, 80, 12));
    ph.add(valueItem("QRUser", Value(user), 314, 22, 150, 12));
    return 38;
}

// The language table's captions for every named label of the report.
void translate(report::Report& r, const DocumentSetup& s, const char* form) {
    if (!s.caption) return;
    for (ReportBand* band : r.allBands())
        for (auto& item : band->items)
            if (item.kind == ItemKind::Label && !item.name.empty())
                if (auto text = s.caption(form, item.name)) item.text = *text;
    if (auto title = s.caption(form, form); title && s.title.empty()) r.setTitle(*title);
}

// Captions and values in two columns: {label name, caption, value}.
struct Pair {
    const char* name;
    const char* caption;
    Value value;
};
double pairs(ReportBand& band, const std::vector<Pair>& list, double x, double y, double captionWidth,
             double valueWidth) {
    for (const auto& p : list) {
        band.add(ReportItem::label(p.name, p.caption, x, y, captionWidth, 12));
        std::string valueName = p.name;
        valueName.replace(0, 7, "QR"); // QRLabelX -> QRX
        band.add(
            valueItem(valueName, p.value, x + captionWidth + 4, y, valueWidth, 12).withFont(font(8, true)));
        y += 13;
    }
    return y;
}

// The distribution columns of the entry records, in a portrait page.
struct DistColumns {
    double account = 0, description = 74, debit = 350, credit = 446, amountWidth = 90;
};

void distributionTitles(ReportBand& band, double y, const char* accountCaption) {
    const DistColumns c{};
    band.add(
        ReportItem::label("QRLabelAccount", accountCaption, c.account, y, 70, 12).withFont(font(8, true)));
    band.add(ReportItem::label("QRLabelDescription", "Description", c.description, y, 260, 12)
                 .withFont(font(8, true)));
    band.add(ReportItem::label("QRLabelDebit", "Debit", c.debit, y, c.amountWidth, 12, Alignment::Right)
                 .withFont(font(8, true)));
    band.add(ReportItem::label("QRLabelCredit", "Credit", c.credit, y, c.amountWidth, 12, Alignment::Right)
                 .withFont(font(8, true)));
    band.add(ReportItem::line("QRLineDistribution", 0, y + 13, 540));
}

void distributionRow(ReportBand& band) {
    const DistColumns c{};
    band.add(ReportItem::fieldItem("QRAccount", "account", c.account, 0, 70, 12));
    band.add(ReportItem::fieldItem("QRDescription", "description", c.description, 0, 270, 12));
    band.add(
        ReportItem::fieldItem("QRDebit", "debit", c.debit, 0, c.amountWidth, 12, Alignment::Right, kMoney));
    band.add(ReportItem::fieldItem("QRCredit", "credit", c.credit, 0, c.amountWidth, 12, Alignment::Right,
                                   kMoney));
}

void distributionTotals(ReportBand& band, const std::vector<DistributionLine>& lines) {
    const DistColumns c{};
    Money debit, credit;
    for (const auto& l : lines) {
        debit += l.debit;
        credit += l.credit;
    }
    band.height = 18;
    band.add(ReportItem::line("QRLineTotal", c.debit, 1, c.credit + c.amountWidth - c.debit));
    band.add(ReportItem::label("QRLabelTotal", "Total", c.description, 4, 260, 12).withFont(font(8, true)));
    band.add(valueItem("QRTotalDebit", Value(debit), c.debit, 4, c.amountWidth, 12, Alignment::Right, kMoney)
                 .withFont(font(8, true)));
    band.add(
        valueItem("QRTotalCredit", Value(credit), c.credit, 4, c.amountWidth, 12, Alignment::Right, kMoney)
            .withFont(font(8, true)));
}

// Invoice columns, in points from the left margin of a landscape page.
struct InvoiceColumn {
    const char* title;   // label name
    const char* caption; // built-in caption
    const char* field;   // line field
    double x, w;
    Alignment align;
    const char* mask;
};
const InvoiceColumn kInvoiceColumns[] = {
    {"QRLabelInvoice", "Invoice", "line_code", 0, 44, Alignment::Left, ""},
    {"QRLabelDate", "Date", "item_code", 46, 48, Alignment::Left, ""},
    {"QRLabelClient", "Client", "", 96, 50, Alignment::Left, ""},
    {"QRLabelDescription", "Description", "description", 148, 152, Alignment::Left, ""},
    {"QRLabelQuantity", "Quantity", "quantity", 302, 38, Alignment::Right, "#,##0.##"},
    {"QRLabelPrice", "Unit price", "price", 342, 50, Alignment::Right, "#,##0.00"},
    {"QRLabelDiscount", "Discount", "discount", 394, 40, Alignment::Right, "0.##"},
    {"QRLabelTax1", "GST", "tax1", 436, 42, Alignment::Right, kMoney},
    {"QRLabelTax2", "PST", "tax2", 480, 42, Alignment::Right, kMoney},
    {"QRLabelTotal", "Line total", "total", 524, 56, Alignment::Right, kMoney},
    {"QRLabelCost", "Cost", "cost", 582, 46, Alignment::Right, kMoney},
    {"QRLabelMargin", "Margin %", "margin", 630, 44, Alignment::Right, kPercent},
    {"QRLabelMarkup", "Markup %", "markup", 676, 44, Alignment::Right, kPercent},
};

const InvoiceColumn& column(const char* title) {
    for (const auto& c : kInvoiceColumns)
        if (std::string_view(c.title) == title) return c;
    return kInvoiceColumns[0];
}

} // namespace

std::unique_ptr<report::Report> buildInvoiceReport(const InvoiceDocument& d, const DocumentSetup& s) {
    auto r = newReport(s, true);
    const double width = 720;
    double y = pageTop(*r, s, width, "Time entered:", d.stamp, d.user);
    auto& ph = r->pageHeader();
    y += 4;
    for (const auto& c : kInvoiceColumns)
        ph.add(ReportItem::label(c.title, c.caption, c.x, y, c.w, 20, c.align).withFont(font(7, true)));
    ph.add(ReportItem::line("QRLineHeader", 0, y + 22, width));
    ph.height = y + 26;

    // The invoice band: number, date, client, salesman, ship-to address.
    auto& g = r->addGroup("invoice");
    g.header.repeatOnEachPage = true;
    auto& h = g.header;
    h.add(valueItem("QRInvoice", Value(d.invoice), 0, 3, 44, 12).withFont(font(8, true)));
    h.add(valueItem("QRDate", Value(d.date), 46, 3, 48, 12));
    h.add(valueItem("QRClient", Value(d.client), 96, 3, 50, 12));
    h.add(valueItem("QRClientName", Value(d.clientName), 148, 3, 260, 12).withFont(font(8, true)));
    h.add(ReportItem::label("QRLabelSalesman", "Salesman:", 440, 3, 70, 12));
    h.add(valueItem("QRSalesman",
                    Value(d.salesmanName.empty() ? d.salesman : d.salesman + " - " + d.salesmanName), 512, 3,
                    208, 12));
    h.add(ReportItem::label("QRLabelStore", "Store:", 440, 16, 70, 12));
    h.add(valueItem("QRStore", Value(d.store), 512, 16, 60, 12));
    h.add(ReportItem::label("QRLabelTerms", "Terms:", 440, 29, 70, 12));
    h.add(valueItem("QRTerms", Value(d.terms), 512, 29, 208, 12));
    h.add(ReportItem::label("QRLabelShipTo", "Ship to:", 96, 16, 50, 12));
    const std::string street =
        d.shipAdr1 + (d.shipAdr1.empty() || d.shipAdr2.empty() ? "" : ", ") + d.shipAdr2;
    std::string place = d.shipCity + (d.shipCity.empty() || d.shipProv.empty() ? "" : ", ") + d.shipProv;
    for (const std::string* part : {&d.shipCountry, &d.shipPostal})
        if (!part->empty()) place += (place.empty() ? "" : "  ") + *part;
    h.add(block("QRShipTo", joinLines({d.shipName, street, place}), 148, 16, 260, 12));
    h.height = 48;

    // A band per line; a comment line prints its text alone.
    auto& det = r->detail();
    det.height = 11;
    for (const auto& c : kInvoiceColumns) {
        if (!*c.field) continue;
        det.add(ReportItem::fieldItem(std::string("QRLine") + (c.title + 7), c.field, c.x, 0, c.w, 11,
                                      c.align, c.mask)
                    .withFont(font(7.5)));
    }
    det.items[1].width = 100; // the item code runs under the client column
    det.add(ReportItem::fieldItem("QRComment", "comment", 46, 0, 534, 11).withFont(font(7.5, false)));
    det.items.back().font->italic = true;

    // The footer: sums, totals, margin and markup, payment methods.
    const InvoiceTotals t = invoiceTotals(d.lines);
    auto& f = g.footer;
    auto sumItem = [&](const char* name, const char* title, Value v, const char* mask) {
        const InvoiceColumn& c = column(title);
        f.add(
            valueItem(name, std::move(v), c.x, 4, c.w, 12, Alignment::Right, mask).withFont(font(7.5, true)));
    };
    f.add(ReportItem::line("QRLineSums", column("QRLabelTax1").x, 1, width - column("QRLabelTax1").x));
    f.add(ReportItem::label("QRLabelSums", "Totals", 300, 4, 130, 12, Alignment::Right)
              .withFont(font(8, true)));
    sumItem("QRSumTax1", "QRLabelTax1", Value(t.tax1), kMoney);
    sumItem("QRSumTax2", "QRLabelTax2", Value(t.tax2), kMoney);
    sumItem("QRSumTotal", "QRLabelTotal", Value(t.total), kMoney);
    sumItem("QRSumCost", "QRLabelCost", Value(t.cost), kMoney);
    sumItem("QRInvoiceMargin", "QRLabelMargin", Value(t.margin), kPercent);
    sumItem("QRInvoiceMarkup", "QRLabelMarkup", Value(t.markup), kPercent);
    const InvoiceColumn& total = column("QRLabelTotal");
    f.add(ReportItem::label("QRLabelSales", "Total sales:", 340, 22, 160, 12, Alignment::Right)
              .withFont(font(8, true)));
    f.add(valueItem("QRSales", Value(t.sales()), total.x - 20, 22, total.w + 20, 12, Alignment::Right, kMoney)
              .withFont(font(8, true)));
    f.add(ReportItem::label("QRLabelCostTotal", "Total cost:", 340, 35, 160, 12, Alignment::Right)
              .withFont(font(8, true)));
    f.add(
        valueItem("QRCostTotal", Value(t.cost), total.x - 20, 35, total.w + 20, 12, Alignment::Right, kMoney)
            .withFont(font(8, true)));
    if (!d.payments.empty()) {
        std::string names, amounts;
        for (const auto& p : d.payments) {
            names += (names.empty() ? "" : "\n") + p.name;
            amounts += (amounts.empty() ? "" : "\n") +
                       report::MaskFormatter::formatMoney(p.amount, kMoney,
                                                          report::NumberSeparators::of(s.language));
        }
        f.add(
            ReportItem::label("QRLabelPayments", "Payment methods", 0, 22, 200, 12).withFont(font(8, true)));
        f.add(block("QRPaymentNames", names, 0, 35, 120, 12));
        f.add(block("QRPaymentAmounts", amounts, 122, 35, 70, 12, Alignment::Right));
    }
    f.height = 50;

    translate(*r, s, kInvoiceForm);
    if (s.international) {
        r->setCaption("QRLabelTax1", s.language == 2 ? "Taxe 1" : "Tax 1");
        r->setCaption("QRLabelTax2", s.language == 2 ? "Taxe 2" : "Tax 2");
    }
    return r;
}

std::unique_ptr<report::Report> buildSalesEntryReport(const SalesEntryDocument& d, const DocumentSetup& s) {
    auto r = newReport(s, false);
    const double width = 540;
    r->pageHeader().height = pageTop(*r, s, width, "Time of entry:", d.stamp, d.user);
    r->pageHeader().add(ReportItem::line("QRLineHeader", 0, 36, width));

    auto& t = r->titleBand();
    double y = pairs(t,
                     {{"QRLabelClientCode", "Client code", Value(d.client)},
                      {"QRLabelDirect", "Direct cash sale", Value(d.directCashSale ? s.yes : s.no)},
                      {"QRLabelDate", "Transaction date", Value(d.date)},
                      {"QRLabelDueDate", "Due date", Value(d.dueDate)},
                      {"QRLabelType", "Transaction type", Value(typeName(s, d.type))},
                      {"QRLabelInvoice", "Invoice number", Value(d.reference)},
                      {"QRLabelDrCr", "Debit/Credit reference", Value(d.drCrReference)}},
                     0, 6, 120, 140);
    t.add(block("QRClientAddress",
                joinLines({d.clientName, d.adr1, d.adr2,
                           d.city + (d.city.empty() || d.prov.empty() ? "" : ", ") + d.prov}),
                300, 6, 240, 12));
    t.items.back().font = font(8, true);
    t.add(ReportItem::label("QRLabelComments", "Comments", 0, y + 4, 120, 12));
    t.add(block("QRComments", d.comments, 124, y + 4, 416, 12));
    t.height = y + 20;

    // The distribution under its titles, repeated on each page it runs on.
    auto& g = r->addGroup("");
    g.key = [](const report::Row&) { return Value(1); };
    g.header.height = 22;
    g.header.repeatOnEachPage = true;
    distributionTitles(g.header, 6, "Account #");
    distributionRow(r->detail());
    r->detail().height = 12;
    distributionTotals(g.footer, d.lines);
    translate(*r, s, kSalesEntryForm);
    return r;
}

std::unique_ptr<report::Report> buildReceiptReport(const ReceiptDocument& d, const DocumentSetup& s) {
    auto r = newReport(s, false);
    const double width = 540;
    r->pageHeader().height = pageTop(*r, s, width, "Time entered:", d.stamp, d.user);
    r->pageHeader().add(ReportItem::line("QRLineHeader", 0, 36, width));

    auto& t = r->titleBand();
    double y =
        pairs(t,
              {{"QRLabelClientCode", "Client code", Value(d.client)},
               {"QRLabelNotFromClient", "Receipt not from a client", Value(d.notFromClient ? s.yes : s.no)},
               {"QRLabelNsf", "NSF cheque", Value(d.nsfCheque ? s.yes : s.no)},
               {"QRLabelReference", "Reference", Value(d.reference)},
               {"QRLabelDate", "Transaction date", Value(d.date)}},
              0, 6, 140, 120);
    t.add(block("QRClientName", d.clientName, 300, 6, 240, 12));
    t.items.back().font = font(8, true);
    t.add(ReportItem::label("QRLabelComments", "Comments", 0, y + 4, 140, 12));
    t.add(block("QRComments", d.comments, 144, y + 4, 396, 12));
    t.height = y + 20;

    // The distribution, then the invoices paid: each section with its titles
    // and its totals.
    r->addGroup("section");
    r->addGroup("section");
    auto& dist = r->groups()[0];
    auto& paid = r->groups()[1];
    auto isDist = [](const report::Row& row) { return row.value("section").asString() == "1"; };
    dist.header.beforePrint = isDist;
    dist.header.height = 22;
    distributionTitles(dist.header, 6, "Account");
    distributionTotals(dist.footer, d.lines);
    dist.footer.beforePrint = isDist;

    const DistColumns c{};
    paid.header.beforePrint = [isDist](const report::Row& row) { return !isDist(row); };
    paid.header.height = 30;
    const double invX[] = {0, 74, 150, c.debit, c.credit};
    const char* invNames[] = {"QRLabelPaidInvoice", "QRLabelInvoiceDate", "QRLabelInvoiceDue",
                              "QRLabelInvoiceAmount", "QRLabelInvoicePayment"};
    const char* invCaptions[] = {"Invoice", "Date", "Due date", "Amount", "Payment"};
    for (int i = 0; i < 5; ++i)
        paid.header.add(ReportItem::label(invNames[i], invCaptions[i], invX[i], 14,
                                          i < 3 ? 72 : c.amountWidth, 12,
                                          i < 3 ? Alignment::Left : Alignment::Right)
                            .withFont(font(8, true)));
    paid.header.add(ReportItem::line("QRLineInvoices", 0, 27, width));
    Money payments;
    for (const auto& i : d.invoices)
        payments += i.payment;
    paid.footer.beforePrint = paid.header.beforePrint;
    paid.footer.height = 18;
    paid.footer.add(ReportItem::line("QRLinePaid", c.credit, 1, c.amountWidth));
    paid.footer.add(ReportItem::label("QRLabelPaidTotal", "Total paid", c.description, 4, 260, 12)
                        .withFont(font(8, true)));
    paid.footer.add(
        valueItem("QRPaidTotal", Value(payments), c.credit, 4, c.amountWidth, 12, Alignment::Right, kMoney)
            .withFont(font(8, true)));

    auto& det = r->detail();
    det.height = 12;
    distributionRow(det);
    det.add(ReportItem::fieldItem("QRPaidInvoice", "invoice", invX[0], 0, 72, 12));
    det.add(ReportItem::fieldItem("QRInvoiceDate", "invoice_date", invX[1], 0, 72, 12));
    det.add(ReportItem::fieldItem("QRInvoiceDue", "invoice_due", invX[2], 0, 72, 12));
    det.add(ReportItem::fieldItem("QRInvoiceAmount", "amount", invX[3], 0, c.amountWidth, 12,
                                  Alignment::Right, kMoney));
    det.add(ReportItem::fieldItem("QRInvoicePayment", "payment", invX[4], 0, c.amountWidth, 12,
                                  Alignment::Right, kMoney));
    translate(*r, s, kReceiptForm);
    return r;
}

namespace {

// The report and its rows, built afresh for each stream.
struct Built {
    std::unique_ptr<report::Report> report;
    std::shared_ptr<report::VectorDataSource> rows;
};

Built invoiceRows(const InvoiceDocument& d, const DocumentSetup& s) {
    auto rows = std::make_shared<report::VectorDataSource>(
        std::vector<std::string>{"invoice", "line_code", "item_code", "description", "quantity", "price",
                                 "discount", "tax1", "tax2", "total", "cost", "margin", "markup", "comment"});
    for (const auto& l : d.lines) {
        if (l.comment) {
            rows->addRow({Value(d.invoice), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
                          Value(), Value(), Value(), Value(), Value(), Value(l.description)});
            continue;
        }
        rows->addRow({Value(d.invoice), Value(l.lineCode), Value(l.itemCode), Value(l.description),
                      Value(l.qtyShip), Value(l.price), l.discount == 0 ? Value() : Value(l.discount),
                      Value(l.tax1), Value(l.tax2), Value(l.total), Value(l.cost),
                      percentOrBlank(marginPercent(l.total, l.cost)),
                      percentOrBlank(markupPercent(l.total, l.cost))});
    }
    // An invoice without lines still prints its bands.
    if (d.lines.empty()) rows->addRow({Value(d.invoice)});
    return {buildInvoiceReport(d, s), rows};
}

void addDistribution(report::VectorDataSource& rows, const std::vector<DistributionLine>& lines,
                     bool withSection) {
    for (const auto& l : lines) {
        std::vector<Value> v{Value(l.account), Value(l.description), moneyOrBlank(l.debit),
                             moneyOrBlank(l.credit)};
        if (withSection) v.insert(v.begin(), Value("1"));
        rows.addRow(std::move(v));
    }
}

Built salesEntryRows(const SalesEntryDocument& d, const DocumentSetup& s) {
    auto rows = std::make_shared<report::VectorDataSource>(
        std::vector<std::string>{"account", "description", "debit", "credit"});
    addDistribution(*rows, d.lines, false);
    return {buildSalesEntryReport(d, s), rows};
}

Built receiptRows(const ReceiptDocument& d, const DocumentSetup& s) {
    auto rows = std::make_shared<report::VectorDataSource>(
        std::vector<std::string>{"section", "account", "description", "debit", "credit", "invoice",
                                 "invoice_date", "invoice_due", "amount", "payment"});
    addDistribution(*rows, d.lines, true);
    for (const auto& i : d.invoices)
        rows->addRow({Value("2"), Value(), Value(), Value(), Value(), Value(i.invoice), Value(i.date),
                      Value(i.dueDate), Value(i.amount), Value(i.payment)});
    return {buildReceiptReport(d, s), rows};
}

template <typename Doc>
report::StreamFactory factoryOf(Doc doc, DocumentSetup setup,
                                Built (*build)(const Doc&, const DocumentSetup&)) {
    return [doc = std::move(doc), setup = std::move(setup), build]() {
        Built b = build(doc, setup);
        b.report->setDataSource(b.rows.get());
        return std::make_unique<report::PageStream>(std::move(b.report), b.rows);
    };
}

} // namespace

std::optional<report::StreamFactory> documentStream(Database& company, Database* dataRoot,
                                                    const DocumentChoice& choice,
                                                    const DocumentSetup& setup) {
    using K = DocumentChoice::Kind;
    switch (choice.kind) {
    case K::ArchivedInvoice:
    case K::CurrentInvoice:
        if (auto d =
                readInvoice(company, dataRoot, choice.kind == K::ArchivedInvoice, choice.doc, choice.invoice))
            return factoryOf(std::move(*d), setup, &invoiceRows);
        break;
    case K::SalesEntry:
        if (auto d = readSalesEntry(company, choice.seq))
            return factoryOf(std::move(*d), setup, &salesEntryRows);
        break;
    case K::CashReceipt:
        if (auto d = readReceipt(company, choice.seq)) return factoryOf(std::move(*d), setup, &receiptRows);
        break;
    case K::None:
        break;
    }
    return std::nullopt;
}

} // namespace vm::custview
