#include "modules/rcvaging/ui/AgingReport.h"

#include "report/MaskFormatter.h"

namespace vm::aging {

using report::Alignment;
using report::ItemFont;
using report::ItemKind;
using report::ReportItem;

namespace {

// Column positions, in points from the left margin (landscape: 720 wide).
struct Col {
    const char* name;
    const char* field;
    double x, w;
    Alignment align;
};

ItemFont font(double size, bool bold = false) {
    ItemFont f;
    f.size = size;
    f.bold = bold;
    return f;
}

} // namespace

std::string AgingReport::formName(const AgingReportSetup& s) {
    const std::string code = s.ledger == Ledger::Receivables ? "rcvaging" : "payaging";
    return "T" + code + (s.detailed ? "_qrfrm" : "_qrfrm2");
}

std::string AgingReport::amountMask(const std::string& sign) {
    if (sign.empty()) return "#,##0.00;-#,##0.00";
    std::string q = "\"" + sign + "\"";
    return q + "#,##0.00;-" + q + "#,##0.00";
}

std::unique_ptr<report::Report> AgingReport::build(const AgingReportSetup& s) {
    const bool rcv = s.ledger == Ledger::Receivables;
    auto r =
        std::make_unique<report::Report>(rcv ? "Aging of Client Accounts" : "Aging of Supplier Accounts");
    r->pageSetup().orientation = report::PageSetup::Orientation::Landscape;
    r->setLanguage(s.language);
    r->setDateMask(s.dateMask);
    r->defaultFont() = font(8);
    const std::string money = amountMask(s.amountSign);

    // --- page header: who, what, when; then the column headings
    auto& ph = r->pageHeader();
    ph.height = 78;
    ph.add(ReportItem::label("QRLabelCompany", s.companyName, 0, 0, 360, 14).withFont(font(11, true)));
    ph.add(ReportItem::label("QRLabelTitle", r->title(), 180, 0, 360, 16, Alignment::Center)
               .withFont(font(13, true)));
    ph.add(ReportItem::label("QRLabelListing", s.detailed ? "Detail Listing" : "Summary Listing", 180, 17,
                             360, 12, Alignment::Center)
               .withFont(font(10)));
    ph.add(ReportItem::label("QRLabelUser", s.userName, 0, 17, 170, 12));
    ph.add(ReportItem::label("QRLabelDateCaption", "Date:", 560, 0, 50, 12));
    ph.add(ReportItem::computed(
        "QRReportDate", [d = s.reportDate](const report::PrintContext&) { return Value(d); }, 612, 0, 108, 12,
        Alignment::Right));
    ph.add(ReportItem::label("QRLabelTime", "Time:", 560, 12, 50, 12));
    ph.add(ReportItem::special(ItemKind::PrintTime, "QRTime", 612, 12, 108, 12, Alignment::Right));
    ph.add(ReportItem::label("QRLabelPage", "Page:", 560, 24, 50, 12));
    ph.add(ReportItem::special(ItemKind::PageNumber, "QRPage", 612, 24, 108, 12, Alignment::Right));

    std::vector<Col> cols;
    const double amountsX = s.detailed ? 280 : 270;
    if (s.detailed) {
        cols = {{"QRLabelInvoice", "invoice", 0, 58, Alignment::Left},
                {"QRLabelDate", "date", 60, 52, Alignment::Left},
                {"QRLabelDueDate", "due_date", 114, 52, Alignment::Left},
                {"QRLabelReference", "reference", 168, 60, Alignment::Left},
                {"QRLabelType", "type", 230, 40, Alignment::Left}};
    } else {
        cols = {{"QRLabelCode", "code", 0, 62, Alignment::Left},
                {"QRLabelName", "name", 64, 130, Alignment::Left},
                {"QRLabelPhone", "phone", 196, 72, Alignment::Left}};
    }
    cols.push_back({"QRLabelAmount", "amount", amountsX, 62, Alignment::Right});
    for (int b = 0; b < 5; ++b)
        cols.push_back({"", "", amountsX + 66.0 * (b + 1), 62, Alignment::Right});
    std::vector<std::string> captions;
    if (s.detailed)
        captions = {"Invoice #", "Date", "Due date", "Reference", "Type", "Amount"};
    else
        captions = {rcv ? "Client Code" : "Supplier Code", "Name", "Phone", "Amount"};
    std::vector<std::string> csv;
    if (!s.detailed)
        csv = {"Code", "Name", "Phone"};
    else
        csv = {"Code", "Invoice", "Date", "Due date", "Reference", "Type"};
    csv.push_back("Amount");
    for (int b = 0; b < 5; ++b) {
        captions.push_back(s.bucketNames[static_cast<std::size_t>(b)]);
        csv.push_back(s.bucketNames[static_cast<std::size_t>(b)].empty()
                          ? "Column " + std::to_string(b + 1)
                          : s.bucketNames[static_cast<std::size_t>(b)]);
    }
    if (s.detailed) csv.push_back("Days");
    r->setCsvColumns(csv);

    const double headY = 52;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const std::string name =
            i < cols.size() - 5 ? cols[i].name : "QRLabelBucket" + std::to_string(i - (cols.size() - 5) + 1);
        ph.add(ReportItem::label(name, captions[i], cols[i].x, headY, cols[i].w, 12, cols[i].align)
                   .withFont(font(8, true)));
    }
    if (s.detailed)
        ph.add(ReportItem::label("QRLabelDays", rcv ? "Age" : "Days", amountsX + 66.0 * 6, headY, 40, 12,
                                 Alignment::Right)
                   .withFont(font(8, true)));
    ph.add(ReportItem::line("QRLineHeader", 0, 70, 720));

    // --- the rows
    auto& det = r->detail();
    det.height = 12;
    if (s.detailed) {
        auto& g = r->addGroup("code");
        g.header.height = 14;
        g.header.add(ReportItem::fieldItem("QRCode", "code", 0, 2, 70, 12).withFont(font(9, true)));
        g.header.add(ReportItem::fieldItem("QRName", "name", 72, 2, 280, 12).withFont(font(9, true)));
        g.header.add(ReportItem::fieldItem("QRPhone", "phone", 356, 2, 120, 12).withFont(font(9)));
        double y = 14;
        if (s.printAddress && rcv) {
            g.header.add(ReportItem::fieldItem("QRAddress", "address", 72, y, 300, 12));
            y += 12;
        }
        if (s.printComments) {
            g.header.add(ReportItem::fieldItem("QRComments", "comments", 72, y, 500, 12));
            y += 12;
        }
        g.header.height = y + 2;
        g.header.repeatOnEachPage = true;

        det.add(ReportItem::fieldItem("QRInvoice", "invoice", 0, 0, 58, 12).exportedAs("Invoice"));
        det.add(ReportItem::fieldItem("QRDate", "date", 60, 0, 52, 12).exportedAs("Date"));
        det.add(ReportItem::fieldItem("QRDueDate", "due_date", 114, 0, 52, 12).exportedAs("Due date"));
        det.add(ReportItem::fieldItem("QRReference", "reference", 168, 0, 60, 12).exportedAs("Reference"));
        det.add(ReportItem::fieldItem("QRType", "type", 230, 0, 40, 12).exportedAs("Type"));
        det.add(ReportItem::fieldItem("QRCodeHidden", "code", 0, 0, 0, 0).exportedAs("Code"));
        det.items.back().exportOnly = true; // the CSV names each row's account
        det.add(ReportItem::fieldItem("QRDays", "days", amountsX + 66.0 * 6, 0, 40, 12, Alignment::Right, "0")
                    .exportedAs("Days"));
    } else {
        det.add(ReportItem::fieldItem("QRCode", "code", 0, 0, 62, 12).exportedAs("Code"));
        det.add(ReportItem::fieldItem("QRName", "name", 64, 0, 130, 12).exportedAs("Name"));
        det.add(ReportItem::fieldItem("QRPhone", "phone", 196, 0, 72, 12).exportedAs("Phone"));
    }
    det.add(ReportItem::fieldItem("QRAmount", "amount", amountsX, 0, 62, 12, Alignment::Right, money)
                .exportedAs("Amount"));
    for (int b = 1; b <= 5; ++b)
        det.add(ReportItem::fieldItem("QRBucket" + std::to_string(b), "b" + std::to_string(b),
                                      amountsX + 66.0 * b, 0, 62, 12, Alignment::Right, money)
                    .exportedAs(csv[csv.size() - (s.detailed ? 7 : 6) + static_cast<std::size_t>(b)]));

    auto totals = [&](report::ReportBand& band, const std::string& prefix, const std::string& caption,
                      const std::string& labelName) {
        band.height = 18;
        band.add(ReportItem::line(prefix + "Line", amountsX, 1, 66.0 * 6 - 2));
        band.add(ReportItem::label(labelName, caption, amountsX - 140, 4, 136, 12, Alignment::Right)
                     .withFont(font(8, true)));
        band.add(
            ReportItem::sum(prefix + "Amount", "amount", amountsX, 4, 62, 12, money).withFont(font(8, true)));
        band.items.back().align = Alignment::Right;
        for (int b = 1; b <= 5; ++b) {
            band.add(ReportItem::sum(prefix + "Bucket" + std::to_string(b), "b" + std::to_string(b),
                                     amountsX + 66.0 * b, 4, 62, 12, money)
                         .withFont(font(8, true)));
            band.items.back().align = Alignment::Right;
        }
    };
    if (s.detailed) totals(r->groups().back().footer, "QRClientTotal", "Total", "QRLabelClientTotal");
    totals(r->summary(), "QRTotal", " TOTAL ", "QRLabelTotal");
    if (s.sumsByCurrency) {
        // Dollars of two countries added together mean nothing: one line per
        // currency instead, each amount with its own sign. The caption is
        // repeated on every line (the label keeps its name for the tables).
        auto& band = r->summary();
        band.items.erase(band.items.begin() + 2, band.items.end());
        band.items[1].visible = false;
        const report::MaskFormatter fmt(report::MaskOptions{s.language, s.dateMask, "hh:nn:ss"});
        auto sums = s.sumsByCurrency;
        auto signs = s.currencySigns;
        auto lines = [sums, signs, fmt](int column) {
            std::string out;
            for (const auto& [currency, values] : *sums) {
                if (!out.empty()) out += '\n';
                const std::string sign =
                    currency >= 0 && currency < 5 ? signs[static_cast<std::size_t>(currency)] : std::string();
                out += fmt.format(Value(values[static_cast<std::size_t>(column)]), amountMask(sign));
            }
            return Value(out);
        };
        const report::ReportItem caption = band.items[1];
        band.add(ReportItem::computed(
                     "QRTotalCaptions",
                     [sums, rp = r.get()](const report::PrintContext&) {
                         const report::ReportItem* label = rp->findItem("QRLabelTotal");
                         const std::string text = label ? label->text : std::string(" TOTAL ");
                         std::string out;
                         for (std::size_t i = 0; i < sums->size(); ++i)
                             out += (i ? "\n" : "") + text;
                         return Value(out);
                     },
                     caption.x, caption.y, caption.width, caption.height, Alignment::Right)
                     .withFont(font(8, true)));
        band.items.back().grows = true;
        for (int c = 0; c <= 5; ++c) {
            band.add(ReportItem::computed(
                         c == 0 ? "QRTotalAmount" : "QRTotalBucket" + std::to_string(c),
                         [lines, c](const report::PrintContext&) { return lines(c); }, amountsX + 66.0 * c, 4,
                         62, 12, Alignment::Right)
                         .withFont(font(8, true)));
            band.items.back().grows = true;
        }
    }
    return r;
}

} // namespace vm::aging
