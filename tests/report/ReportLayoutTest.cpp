#include "report/CsvExporter.h"
#include "report/MaskFormatter.h"
#include "report/MasterDetailDataSource.h"
#include "report/ReportLayouter.h"
#include "report/ReportListing.h"
#include "report/TextExporter.h"
#include "tests/report/SampleReport.h"

#include <gtest/gtest.h>

#include <map>

using namespace vm;
using namespace vm::report;
using vm::test::golden;

namespace {

int countNamed(const DocumentPage& p, const std::string& name) {
    int n = 0;
    for (const auto& it : p.items)
        n += it.name == name;
    return n;
}

const PlacedItem* findNamed(const DocumentPage& p, const std::string& name, int nth = 0) {
    for (const auto& it : p.items)
        if (it.name == name && nth-- == 0) return &it;
    return nullptr;
}

// A one-column report over `rows` values, on a page whose body holds exactly
// `fit` detail bands of 20 points below a 30-point page header.
struct SmallReport {
    VectorDataSource data{{"n"}};
    Report report{"small"};
    explicit SmallReport(int rows, int fit = 5) {
        for (int i = 1; i <= rows; ++i)
            data.addRow({Value(i)});
        report.setDataSource(&data);
        auto& ps = report.pageSetup();
        ps.paper = PageSetup::Paper::Custom;
        ps.setMargins(10);
        ps.customWidth = 300;
        ps.customHeight = 10 + 30 + fit * 20 + 15 + 10;
        report.pageHeader().height = 30;
        report.pageHeader().add(ReportItem::label("hdr", "Header", 0, 0, 100, 12));
        report.pageFooter().height = 15;
        report.pageFooter().add(ReportItem::special(ItemKind::PageNumber, "pg", 0, 0, 50, 12));
        report.detail().height = 20;
        report.detail().add(ReportItem::fieldItem("n", "n", 0, 0, 50, 12, Alignment::Right));
    }
};

} // namespace

// The reference report: its listing, CSV and text must stay exactly as
// checked by eye when the reference files were written.
TEST(ReportLayout, MultiPageReportMatchesReferenceFiles) {
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    ASSERT_GE(doc.pages.size(), 3u);

    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        const auto& page = doc.pages[p];
        EXPECT_EQ(countNamed(page, "lblCompany"), 1) << "page header on page " << p + 1;
        EXPECT_EQ(countNamed(page, "qrPage"), 1) << "page footer on page " << p + 1;
        EXPECT_EQ(findNamed(page, "qrPage")->text, std::to_string(p + 1));
        EXPECT_EQ(findNamed(page, "qrPages")->text, std::to_string(doc.pages.size()));
        // Nothing but the page footer reaches below the top of the page footer.
        const double footerTop = 792 - 36 - 14;
        for (const auto& it : page.items) {
            if (it.band != BandKind::PageFooter) {
                EXPECT_LE(it.y + it.height, footerTop + 1e-6) << it.name << " on page " << p + 1;
            }
        }
        // A continued territory repeats its header at the top of the page.
        if (p > 0) {
            EXPECT_GE(countNamed(page, "lblTerritory"), 1);
        }
    }

    std::string listing = ReportListing::text(doc);
    EXPECT_EQ(listing, golden("client_list.listing", listing));
    std::string csv = CsvExporter::text(doc);
    EXPECT_EQ(csv, golden("client_list.csv", csv));
    std::string text = TextExporter::text(doc);
    EXPECT_EQ(text, golden("client_list.txt", text));
}

TEST(ReportLayout, TotalsAreExactAndGroupFootersShowTheirOwnGroup) {
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    std::map<std::string, std::pair<Money, int>> expected;
    Money grand;
    for (int i = 1; i <= 120; ++i) {
        Money m = Money::fromCents((static_cast<std::int64_t>(i) * 7919) % 200000 - 50000);
        const char* t[] = {"EST", "NRD", "OUE", "SUD"};
        expected[t[(i - 1) / 30]].first += m;
        expected[t[(i - 1) / 30]].second++;
        grand += m;
    }
    int footers = 0;
    for (const auto& page : doc.pages)
        for (std::size_t i = 0; i < page.items.size(); ++i)
            if (page.items[i].name == "qrTerrCode") {
                const std::string terr = page.items[i].text;
                ASSERT_TRUE(expected.count(terr)) << terr;
                // The footer's items follow one another in band order.
                EXPECT_EQ(page.items[i + 1].name, "qrTerrCount");
                EXPECT_EQ(page.items[i + 1].text, std::to_string(expected[terr].second));
                EXPECT_EQ(page.items[i + 2].text,
                          MaskFormatter::formatMoney(expected[terr].first, "$#,##0.00;-$#,##0.00"));
                ++footers;
            }
    EXPECT_EQ(footers, 4);
    const auto* total = findNamed(doc.pages.back(), "qrGrandTotal");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->text, MaskFormatter::formatMoney(grand, "$#,##0.00;-$#,##0.00"));
    EXPECT_EQ(findNamed(doc.pages.back(), "qrCount")->text, "120");
}

TEST(ReportLayout, BandThatDoesNotFitMovesWholeToTheNextPage) {
    SmallReport r(12, 5);
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(countNamed(doc.pages[0], "n"), 5);
    EXPECT_EQ(countNamed(doc.pages[1], "n"), 5);
    EXPECT_EQ(countNamed(doc.pages[2], "n"), 2);
    // The sixth row starts page 2 right under the page header.
    const PlacedItem* first = findNamed(doc.pages[1], "n");
    EXPECT_EQ(first->text, "6");
    EXPECT_DOUBLE_EQ(first->y, 10 + 30);
    EXPECT_EQ(countNamed(doc.pages[2], "hdr"), 1);
    EXPECT_EQ(findNamed(doc.pages[2], "pg")->text, "3");

    // A summary one point too tall for what is left goes over too; the page
    // footer still closes the page it leaves.
    SmallReport r2(4, 5);
    r2.report.summary().height = 21;
    r2.report.summary().add(ReportItem::label("sum", "Summary", 0, 0, 50, 12));
    ReportDocument doc2 = ReportLayouter::run(r2.report);
    ASSERT_EQ(doc2.pages.size(), 2u);
    EXPECT_EQ(countNamed(doc2.pages[0], "pg"), 1);
    EXPECT_DOUBLE_EQ(findNamed(doc2.pages[1], "sum")->y, 40);
}

TEST(ReportLayout, BandTallerThanAPageIsPrintedOnceNotLost) {
    SmallReport r(3, 2);
    r.report.detail().height = 500;
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 3u);
    for (const auto& p : doc.pages)
        EXPECT_EQ(countNamed(p, "n"), 1);
}

TEST(ReportLayout, GroupHeaderIsNotLeftAloneAtTheFootOfAPage) {
    SmallReport r(0, 5);
    r.data = VectorDataSource({"g", "n"});
    for (int i = 1; i <= 4; ++i)
        r.data.addRow({Value("A"), Value(i)});
    r.data.addRow({Value("B"), Value(5)});
    r.report.setDataSource(&r.data);
    auto& g = r.report.addGroup("g");
    g.header.height = 20;
    g.header.add(ReportItem::fieldItem("gh", "g", 0, 0, 50, 12));
    ReportDocument doc = ReportLayouter::run(r.report);
    // Page 1: header A and 4 rows fill the page; header B goes over with its row.
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(countNamed(doc.pages[0], "gh"), 1);
    EXPECT_EQ(findNamed(doc.pages[1], "gh")->text, "B");
    EXPECT_EQ(findNamed(doc.pages[1], "n")->text, "5");
}

// A header that repeats on each page is printed once at the top of a page,
// whether its group runs on from the page before or starts there.
TEST(ReportLayout, RepeatedGroupHeaderIsPrintedOnceAfterAPageBreak) {
    SmallReport r(0, 5);
    r.data = VectorDataSource({"g", "n"});
    for (int i = 1; i <= 7; ++i)
        r.data.addRow({Value("A"), Value(i)});
    r.data.addRow({Value("B"), Value(8)});
    r.report.setDataSource(&r.data);
    auto& g = r.report.addGroup("g");
    g.header.height = 20;
    g.header.repeatOnEachPage = true;
    g.header.add(ReportItem::fieldItem("gh", "g", 0, 0, 50, 12));
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(countNamed(doc.pages[1], "gh"), 1); // A runs on
    EXPECT_EQ(countNamed(doc.pages[2], "gh"), 1); // B starts on a new page
    const std::string listing = ReportListing::text(doc);
    EXPECT_EQ(listing, golden("group_page_break.listing", listing));
}

TEST(ReportLayout, HiddenDetailStillTotalsAndSkippedRowsDoNot) {
    SmallReport r(10, 5);
    r.report.detail().visible = false; // a summary listing
    r.report.detail().beforePrint = [](const Row& row) { return row.value("n").asInt() != 10; };
    r.report.summary().height = 20;
    r.report.summary().add(ReportItem::sum("total", "n", 0, 0, 50, 12));
    r.report.summary().add(ReportItem::count("count", 60, 0, 50, 12));
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(countNamed(doc.pages[0], "n"), 0);
    EXPECT_EQ(findNamed(doc.pages[0], "total")->text, "45");
    EXPECT_EQ(findNamed(doc.pages[0], "count")->text, "9");
}

TEST(ReportLayout, RunningAndPageTotals) {
    SmallReport r(7, 5);
    auto& running = r.report.detail().add(ReportItem::sum("running", "n", 60, 0, 50, 12));
    (void)running;
    r.report.pageFooter().add(ReportItem::sum("pageTotal", "n", 60, 0, 50, 12));
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(findNamed(doc.pages[0], "running", 4)->text, "15");
    EXPECT_EQ(findNamed(doc.pages[1], "running", 1)->text, "28");
    // The row that went to page 2 counts on page 2, not on the page it left.
    EXPECT_EQ(findNamed(doc.pages[0], "pageTotal")->text, "15");
    EXPECT_EQ(findNamed(doc.pages[1], "pageTotal")->text, "13");
}

// Statements: a new page per client, page numbers within the client, a
// client without transactions still gets its statement.
TEST(ReportLayout, MasterDetailGroupsWithPagePerGroup) {
    VectorDataSource clients({"Cli_code", "Cli_name"});
    clients.addRow({Value("A1"), Value("Alpha")});
    clients.addRow({Value("B2"), Value("Beta")});
    clients.addRow({Value("C3"), Value("Gamma")});
    std::map<std::string, VectorDataSource> trans;
    for (const char* c : {"A1", "B2", "C3"})
        trans.emplace(c, VectorDataSource({"Car_client", "Car_amount"}));
    for (int i = 0; i < 7; ++i)
        trans.at("A1").addRow({Value("A1"), Value(Money::fromUnits(10))});
    trans.at("C3").addRow({Value("C3"), Value(Money::fromUnits(5))});
    MasterDetailDataSource src(
        clients, [&]() -> DataSource& { return trans.at(clients.value("Cli_code").asString()); }, true);

    SmallReport r(0, 5);
    r.report.setDataSource(&src);
    r.report.pageHeader().add(ReportItem::fieldItem("hdrClient", "Cli_name", 100, 0, 100, 12));
    r.report.pageHeader().add(ReportItem::special(ItemKind::GroupPageNumber, "clientPage", 200, 0, 20, 12));
    r.report.detail().items[0] =
        ReportItem::fieldItem("amount", "Car_amount", 0, 0, 50, 12, Alignment::Right);
    auto& g = r.report.addGroup("Cli_code");
    g.header.newPageBefore = true;
    g.footer.height = 20;
    g.footer.add(ReportItem::sum("due", "Car_amount", 0, 0, 50, 12));
    r.report.pageFooter().height = 15;

    ReportDocument doc = ReportLayouter::run(r.report);
    // Alpha: 7 rows + footer over 2 pages; Beta: footer only; Gamma: 1 row.
    ASSERT_EQ(doc.pages.size(), 4u);
    EXPECT_EQ(findNamed(doc.pages[0], "hdrClient")->text, "Alpha");
    EXPECT_EQ(findNamed(doc.pages[1], "hdrClient")->text, "Alpha");
    EXPECT_EQ(findNamed(doc.pages[1], "clientPage")->text, "2");
    EXPECT_EQ(findNamed(doc.pages[1], "due")->text, "70.00");
    EXPECT_EQ(findNamed(doc.pages[2], "hdrClient")->text, "Beta");
    EXPECT_EQ(findNamed(doc.pages[2], "clientPage")->text, "1");
    EXPECT_EQ(countNamed(doc.pages[2], "amount"), 0);
    EXPECT_EQ(findNamed(doc.pages[2], "due")->text, "0");
    EXPECT_EQ(findNamed(doc.pages[3], "hdrClient")->text, "Gamma");
    EXPECT_EQ(findNamed(doc.pages[3], "due")->text, "5.00");
    // The page footer of a client's last page still names that client's page.
    EXPECT_EQ(findNamed(doc.pages[1], "pg")->text, "2");
}

// Statement layouts give every position in inches, the page too.
TEST(ReportLayout, PositionedItemsInInches) {
    VectorDataSource data({"Car_invoice", "Car_amount"});
    data.addRow({Value("INV-1"), Value(Money::fromCents(123456))});
    data.addRow({Value("INV-2"), Value(Money::fromCents(-500))});
    Report r("Statement");
    r.setDataSource(&data);
    r.setUnits(Report::Units::Inches);
    r.pageSetup() = PageSetup::customInches(11, 8.5);
    r.pageSetup().setMargins(0);
    EXPECT_EQ(r.pageSetup().orientation, PageSetup::Orientation::Landscape);
    EXPECT_DOUBLE_EQ(r.pageSetup().width(), 792);
    r.pageHeader().height = 2.5;
    r.pageHeader().add(ReportItem::label("lbl", "STATEMENT", 4.25, 0.5, 2, 0.25, Alignment::Center));
    r.detail().height = 0.25;
    r.detail().add(ReportItem::fieldItem("inv", "Car_invoice", 0.5, 0, 1, 0.2));
    r.detail().add(ReportItem::fieldItem("amt", "Car_amount", 6, 0, 1.5, 0.2, Alignment::Right, "#,##0.00"));
    ReportDocument doc = ReportLayouter::run(r);
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto* lbl = findNamed(doc.pages[0], "lbl");
    EXPECT_DOUBLE_EQ(lbl->x, 4.25 * 72);
    EXPECT_DOUBLE_EQ(lbl->y, 0.5 * 72);
    EXPECT_DOUBLE_EQ(lbl->width, 144);
    const auto* amt2 = findNamed(doc.pages[0], "amt", 1);
    EXPECT_DOUBLE_EQ(amt2->x, 432);
    EXPECT_DOUBLE_EQ(amt2->y, 2.75 * 72);
    EXPECT_EQ(amt2->text, "-5.00");
    EXPECT_EQ(findNamed(doc.pages[0], "amt")->text, "1,234.56");
}

TEST(ReportLayout, MultiLineFieldGrowsItsBand) {
    SmallReport r(0, 5);
    r.data = VectorDataSource({"n"});
    r.data.addRow({Value("line 1\nline 2\nline 3")});
    r.data.addRow({Value("next")});
    r.report.setDataSource(&r.data);
    ReportDocument doc = ReportLayouter::run(r.report);
    const auto* a = findNamed(doc.pages[0], "n", 0);
    const auto* b = findNamed(doc.pages[0], "n", 1);
    EXPECT_DOUBLE_EQ(a->height, 3 * 9 * 1.2);
    EXPECT_DOUBLE_EQ(b->y, a->y + 3 * 9 * 1.2);
}

TEST(ReportLayout, EmptyReportStillPrintsItsFrame) {
    SmallReport r(0, 5);
    r.report.summary().height = 20;
    r.report.summary().add(ReportItem::sum("total", "n", 0, 0, 50, 12, "#,##0.00"));
    ReportDocument doc = ReportLayouter::run(r.report);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(countNamed(doc.pages[0], "hdr"), 1);
    EXPECT_EQ(findNamed(doc.pages[0], "total")->text, "0.00");
}

// Masks are written the English way; a French report prints "1 000,50" and
// an English one "1,000.50". CSV numbers keep the plain point in both.
TEST(ReportLayout, FrenchReportPrintsFrenchSeparatorsCsvStaysPlain) {
    const char* mask = "$#,##0.00;-$#,##0.00";
    const Value amount(Money::fromCents(-1500050));
    EXPECT_EQ(MaskFormatter(MaskOptions{1}).format(amount, mask), "-$15,000.50");
    EXPECT_EQ(MaskFormatter(MaskOptions{2}).format(amount, mask), "-$15 000,50");
    EXPECT_EQ(MaskFormatter(MaskOptions{2}).format(Value(2.5), "0.00"), "2,50");

    vm::test::SampleReport en, fr;
    fr.report.setLanguage(2);
    const ReportDocument de = ReportLayouter::run(en.report);
    const ReportDocument df = ReportLayouter::run(fr.report);
    std::string expected = findNamed(de.pages.back(), "qrGrandTotal")->text;
    ASSERT_NE(expected.find(','), std::string::npos);
    for (char& c : expected)
        c = c == ',' ? ' ' : c == '.' ? ',' : c;
    EXPECT_EQ(findNamed(df.pages.back(), "qrGrandTotal")->text, expected);
    EXPECT_EQ(CsvExporter::text(df), CsvExporter::text(de));
}
