#include "modules/custstmt/core/StatementReport.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <algorithm>
#include <strings.h>

namespace vm::custstmt {

using report::Alignment;
using report::ItemKind;
using report::ReportBand;
using report::ReportItem;

CompanyBlock readCompanyBlock(Database& dataRoot, int code) {
    CompanyBlock b;
    Cursor c(dataRoot, "comp", true);
    if (!c.findKey({code})) return b;
    b.name = c.str("Comp_Name");
    b.adr1 = c.str("Comp_Adr1");
    b.adr2 = c.str("Comp_adr2");
    b.city = c.str("Comp_city");
    b.prov = c.str("Comp_Prov");
    b.postalCode = c.str("Comp_Postal_code");
    b.telephone = c.str("Comp_telephone");
    return b;
}

StatementDataSource::StatementDataSource(StatementRun& run, CompanyBlock company)
    : run_(run), company_(std::move(company)) {}

bool StatementDataSource::next() {
    if (done_) return false;
    if (hasClient_ && line_ + 1 < current_.lines.size()) {
        ++line_;
        return true;
    }
    current_ = Statement();
    hasClient_ = run_.next(current_);
    line_ = 0;
    if (!hasClient_) done_ = true;
    return hasClient_;
}

bool StatementDataSource::rewind() {
    run_.restart();
    hasClient_ = false;
    done_ = false;
    line_ = 0;
    return true;
}

std::vector<std::string> StatementDataSource::fieldNames() const {
    std::vector<std::string> f;
    for (int n = 1; n <= 35; ++n)
        if (n != 34) f.emplace_back(dataFieldName(n));
    return f;
}

Value StatementDataSource::value(std::string_view name) const {
    int n = 0;
    for (int i = 1; i <= 35; ++i)
        if (name.size() == std::string_view(dataFieldName(i)).size() &&
            strncasecmp(name.data(), dataFieldName(i), name.size()) == 0)
            n = i;
    if (n == 0 || !hasClient_) return {};
    const Statement& s = current_;
    const StatementLine* l = line_ < s.lines.size() ? &s.lines[line_] : nullptr;
    auto blankZero = [](Money m) { return m.isZero() ? Value() : Value(m); };
    switch (n) {
    case 1:
        return company_.name;
    case 2:
        return company_.adr1;
    case 3:
        return company_.adr2;
    case 4:
        return company_.city;
    case 5:
        return company_.prov;
    case 6:
        return company_.postalCode;
    case 7:
        return company_.telephone;
    case 8:
        return s.code;
    case 9:
        return s.name;
    case 10:
        return s.adr1;
    case 11:
        return s.adr2;
    case 12:
        return s.city;
    case 13:
        return s.prov;
    case 14:
        return s.postalCode;
    case 15:
        return s.territory;
    case 16:
        return run_.effectiveDate();
    case 17:
        return s.fax;
    case 35:
        return s.country;
    case 26:
    case 27:
    case 28:
    case 29:
    case 30:
        return s.buckets[static_cast<std::size_t>(n - 26)];
    case 31:
        return s.totalDue;
    case 33:
        return s.totalInterest;
    default:
        break;
    }
    if (!l) return {};
    switch (n) {
    case 18:
        return l->date;
    case 19:
        return l->invoice;
    case 20:
        return blankZero(l->debit);
    case 21:
        return blankZero(l->credit);
    case 22:
        return l->amount;
    case 23:
        return l->balance;
    case 24:
        return l->fedTax;
    case 25:
        return l->proTax;
    case 32:
        return blankZero(l->interest);
    default:
        return {};
    }
}

std::unique_ptr<report::Report> buildStatementReport(const StatementLayout& layout, const std::string& logo,
                                                     const std::string& amountSign, int language,
                                                     const std::string& dateMask) {
    auto r = std::make_unique<report::Report>("Account statements");
    r->setUnits(report::Report::Units::Inches);
    r->setLanguage(language);
    r->setDateMask(dateMask);
    const double pageLen = layout.pageLength > 0 ? layout.pageLength : 11;
    const double pageWidth = layout.pageWidth > 0 ? layout.pageWidth : 8.5;
    r->pageSetup() = report::PageSetup::customInches(pageWidth, pageLen);
    r->pageSetup().setMargins(0); // the layout positions every item on the page itself
    // The page holds the header, the detail area and the footer; what is left
    // below is margin, so that lines stop where the layout's detail area ends.
    const double used = layout.headerLength + layout.detailLength + layout.footerLength;
    if (layout.detailLength > 0 && used < pageLen)
        r->pageSetup().marginBottom = report::PageSetup::inches(pageLen - used);

    std::string money = "#,##0.00;-#,##0.00";
    if (!amountSign.empty()) {
        const std::string q = "\"" + amountSign + "\"";
        money = q + "#,##0.00;-" + q + "#,##0.00";
    }

    // The layout's header is the page header: every page shows the client it
    // belongs to. The group only starts each client on a new page.
    auto& g = r->addGroup("Cli_Code");
    g.header.newPageBefore = true;
    auto& header = r->pageHeader();
    header.height = layout.headerLength;
    g.footer.height = layout.footerLength;
    auto& det = r->detail();
    det.height = 0;

    for (const LayoutItem& it : layout.items) {
        if (it.invalidField || it.band == LayoutBand::None) continue;
        report::ItemFont font = r->defaultFont();
        if (it.size > 0) font.size = it.size;
        font.bold = it.bold;
        font.underline = it.underline;
        const double h = font.lineHeight() / report::PageSetup::kPointsPerInch;
        const std::string name = "Item" + std::to_string(it.index);
        report::ReportBand& band =
            it.band == LayoutBand::Header ? header : (it.band == LayoutBand::Detail ? det : g.footer);
        const double y = it.band == LayoutBand::Detail ? 0 : it.line; // detail items sit at the line's top
        if (it.logo) {
            if (logo.empty()) continue;
            ReportItem pic;
            pic.kind = ItemKind::Image;
            pic.name = name;
            pic.text = logo;
            pic.x = it.pos;
            pic.y = y;
            band.add(std::move(pic)); // 0 x 0: the picture's own size
            continue;
        }
        const bool right = it.fieldNumber > 0 && rightAligned(it.fieldNumber);
        double w = it.widthInches;
        if (w <= 0) w = right ? 1.0 : std::max(0.1, pageWidth - it.pos);
        const Alignment a = right ? Alignment::Right : Alignment::Left;
        ReportItem item;
        if (it.fieldNumber == 34)
            item = ReportItem::special(ItemKind::GroupPageNumber, name, it.pos, y, w, h, a);
        else if (it.fieldNumber > 0)
            item =
                ReportItem::fieldItem(name, dataFieldName(it.fieldNumber), it.pos, y, w, h, a,
                                      right || (it.fieldNumber >= 26 && it.fieldNumber <= 33) ? money : "");
        else
            item = ReportItem::label(name, it.text, it.pos, y, w, h);
        item.withFont(font);
        band.add(std::move(item));
        if (it.band == LayoutBand::Detail) det.height = std::max(det.height, h);
    }
    if (det.height <= 0) det.height = 0.17;

    // The CSV export: one line per transaction line and one per client's
    // totals, each starting with the client it belongs to (the printed header
    // is a page band, which exports nothing), then the layout's detail and
    // footer fields in layout order.
    std::vector<std::string> columns{dataFieldName(8), dataFieldName(9)};
    for (ReportBand* band : {&det, &g.footer}) {
        for (auto& item : band->items) {
            if (item.kind != ItemKind::Field || item.field.empty()) continue;
            if (std::find(columns.begin(), columns.end(), item.field) == columns.end())
                columns.push_back(item.field);
            item.exportedAs(item.field);
        }
        for (int n : {8, 9}) {
            ReportItem who =
                ReportItem::fieldItem(std::string("Csv") + dataFieldName(n), dataFieldName(n), 0, 0, 0, 0);
            who.exportedAs(dataFieldName(n));
            who.exportOnly = true;
            band->add(std::move(who));
        }
    }
    r->setCsvColumns(std::move(columns));
    return r;
}

namespace {
// What a stream's data source stands on, released after the stream.
struct StatementPass {
    StatementPass(Database& db, const StatementReportSetup& setup)
        : run(db, setup.options), source(run, setup.company) {}
    StatementRun run;
    StatementDataSource source;
};
} // namespace

report::StreamFactory statementStream(std::function<Database&()> company, const StatementReportSetup& setup) {
    return [company, setup]() {
        Database& db = company();
        auto pass = std::make_shared<StatementPass>(db, setup);
        const StatementLayout layout = readStatementLayout(db, setup.email);
        auto r = buildStatementReport(layout, logoPath(setup.companyDir),
                                      pass->run.amountSign(setup.localSign), setup.language, setup.dateMask);
        r->setDataSource(&pass->source);
        return std::make_unique<report::PageStream>(std::move(r), std::move(pass));
    };
}

report::ReportDocument layOutStatements(Database& company, const StatementReportSetup& setup) {
    std::unique_ptr<report::PageStream> pages =
        statementStream([&company]() -> Database& { return company; }, setup)();
    report::ReportDocument doc;
    static_cast<report::DocumentInfo&>(doc) = pages->info();
    report::DocumentPage page;
    while (pages->next(page)) {
        for (auto& l : page.exportLines)
            doc.exportLines.push_back(std::move(l));
        page.exportLines.clear();
        doc.pages.push_back(std::move(page));
    }
    return doc;
}

} // namespace vm::custstmt
