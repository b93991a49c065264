#include "engine/Cursor.h"
#include "engine/Database.h"
#include "report/CsvExporter.h"
#include "report/CursorDataSource.h"
#include "report/FilteredDataSource.h"
#include "report/PageRenderer.h"
#include "report/PageStream.h"
#include "report/PdfExporter.h"
#include "report/QueryDataSource.h"
#include "report/Report.h"
#include "report/ReportExporter.h"
#include "report/ReportLayouter.h"
#include "report/TextExporter.h"
#include "report/TextUtil.h"
#include "report/VectorDataSource.h"
#include "tests/report/SampleReport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace vm;
using namespace vm::report;

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

// The value of one "Name:   value" line of pdfinfo's output.
std::string infoField(const std::string& info, const std::string& name) {
    std::size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos) at = info.rfind(name + ":", 0) == 0 ? 0 : std::string::npos;
    if (at == std::string::npos) return {};
    std::size_t start = info.find_first_not_of(' ', info.find(':', at) + 1);
    return info.substr(start, info.find('\n', start) - start);
}

} // namespace

TEST(ReportExport, PdfHasOnePagePerReportPageAndItsTitle) {
    vm::test::ensureApplication();
    QTemporaryDir dir;
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    std::string path = dir.filePath("clients.pdf").toStdString();
    std::string error;
    ASSERT_TRUE(PdfExporter::write(doc, path, &error)) << error;
    EXPECT_EQ(vm::test::readFile(path).substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    std::string info = run("pdfinfo '" + path + "' 2>&1");
    EXPECT_EQ(infoField(info, "Pages"), std::to_string(doc.pages.size())) << info;
    EXPECT_EQ(infoField(info, "Title"), "List of Clients") << info;
    EXPECT_EQ(infoField(info, "Page size"), "612 x 792 pts (letter)") << info;
    // The words drawn are the words of the listing (nothing clipped away).
    std::string words = run("pdftotext -layout '" + path + "' - 2>&1");
    EXPECT_NE(words.find("-$420.81"), std::string::npos);
    EXPECT_NE(words.find("Dubé, \"Le Coin\" Inc."), std::string::npos);

    // Landscape paper.
    s.report.pageSetup().orientation = PageSetup::Orientation::Landscape;
    s.data->rewind();
    ReportDocument wide = ReportLayouter::run(s.report);
    ASSERT_TRUE(PdfExporter::write(wide, path, &error)) << error;
    info = run("pdfinfo '" + path + "' 2>&1");
    EXPECT_EQ(infoField(info, "Page size").substr(0, 13), "792 x 612 pts") << info;
}

TEST(ReportExport, CsvQuotesAndDisarmsFormulas) {
    EXPECT_EQ(CsvExporter::quoted("plain"), "plain");
    EXPECT_EQ(CsvExporter::quoted("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvExporter::quoted("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvExporter::quoted("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvExporter::quoted(" padded"), "\" padded\"");

    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    std::string csv = CsvExporter::text(doc);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "Territory,Client,Name,Date,Balance");
    EXPECT_NE(csv.find("EST,C005,\"Dubé, \"\"Le Coin\"\" Inc.\",11/01/2026,-104.05\n"), std::string::npos);
    EXPECT_NE(csv.find("EST,C006,'=SUM(A1:A9),"), std::string::npos);
    // 120 detail lines, 4 group totals, the report total, the header.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 126);
}

TEST(ReportExport, TextKeepsColumnsAndRightAlignment) {
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    std::string text = TextExporter::text(doc);
    // Every amount ends in the column of the right edge of its item (540 pt).
    const std::size_t end = 540 / 6;
    int amounts = 0;
    std::size_t pos = 0;
    while ((pos = text.find('\n', pos)) != std::string::npos) {
        std::size_t start = text.rfind('\n', pos - 1);
        std::string line = text.substr(start == std::string::npos ? 0 : start + 1,
                                       pos - (start == std::string::npos ? 0 : start + 1));
        ++pos;
        if (line.rfind("C0", 0) == 0 || line.rfind("C1", 0) == 0) {
            ++amounts;
            EXPECT_EQ(utf8Length(line), end) << line;
        }
    }
    EXPECT_EQ(amounts, 120);
    // Page headers appear once; the headers repeated on later pages do not.
    EXPECT_EQ(text.find("Tarnwell Demo Ltd"), text.rfind("Tarnwell Demo Ltd"));
}

TEST(ReportExport, FailedWritesAreReportedAndLeaveNoFile) {
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    std::string error;
    EXPECT_FALSE(ReportExporter::write(doc, ReportExporter::Format::Csv, "/nonexistent-dir/x.csv", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReportExporter::write(doc, ReportExporter::Format::Text, "", &error));

    EXPECT_EQ(ReportExporter::cleanFileName("List of Clients"), "List of Clients");
    EXPECT_EQ(ReportExporter::cleanFileName("../../etc/passwd"), "_.._etc_passwd");
    EXPECT_EQ(ReportExporter::cleanFileName("A/R aging: 2026?"), "A_R aging_ 2026_");
    EXPECT_EQ(ReportExporter::cleanFileName(".."), "report");
    EXPECT_EQ(ReportExporter::cleanFileName(""), "report");
    EXPECT_EQ(ReportExporter::cleanFileName("État des comptes"), "État des comptes");
}

// Reports run over engine cursors and queries without copying the table.
TEST(ReportExport, CursorAndQuerySources) {
    QTemporaryDir dir;
    Database db(dir.path().toStdString());
    TableDef def;
    def.name = "cli";
    def.fields = {{"Cli_code", FieldType::Text, 10},
                  {"Cli_name", FieldType::Text, 40},
                  {"Cli_current_bal", FieldType::Money, 0}};
    def.primaryKey = {"Cli_code"};
    db.createTable(def);
    {
        Cursor c(db, "cli");
        for (int i = 3; i >= 1; --i) {
            c.insert();
            c.set("Cli_code", Value("K" + std::to_string(i)));
            c.set("Cli_name", Value("Name " + std::to_string(i)));
            c.set("Cli_current_bal", Value(Money::fromCents(i * 1000 + 1)));
            c.post();
        }
    }
    Report r("cursor");
    r.detail().height = 12;
    r.detail().add(ReportItem::fieldItem("code", "cli_code", 0, 0, 50, 12));
    r.detail().add(
        ReportItem::fieldItem("bal", "Cli_current_bal", 60, 0, 50, 12, Alignment::Right, "#,##0.00"));
    r.summary().height = 12;
    r.summary().add(ReportItem::sum("total", "Cli_current_bal", 60, 0, 50, 12, "#,##0.00"));

    Cursor c(db, "cli", true);
    CursorDataSource cs(c);
    r.setDataSource(&cs);
    ReportDocument doc = ReportLayouter::run(r);
    std::vector<std::string> texts;
    for (const auto& it : doc.pages[0].items)
        texts.push_back(it.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"K1", "10.01", "K2", "20.01", "K3", "30.01", "60.03"}));

    Query q(db, "SELECT * FROM cli WHERE Cli_code <> ? ORDER BY Cli_code DESC", {Value("K2")});
    QueryDataSource qs(q);
    FilteredDataSource fs(qs, [](const DataSource& d) { return d.value("Cli_code").asString() != "K1"; });
    r.setDataSource(&fs);
    doc = ReportLayouter::run(r);
    texts.clear();
    for (const auto& it : doc.pages[0].items)
        texts.push_back(it.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"K3", "30.01", "30.01"}));
}

// Amounts end at their item's right edge on the rendered page, and a text
// wider than its item spills over rather than being cut off.
TEST(ReportExport, RenderedTextIsAlignedAndNotClipped) {
    vm::test::ensureApplication();
    Report r("render");
    r.pageSetup().setMargins(0);
    r.detail().height = 60;
    r.detail().add(ReportItem::label("amount", "1,234.56", 200, 0, 100, 12, Alignment::Right));
    r.detail().add(ReportItem::label("long", "A rather long client name", 100, 20, 30, 12, Alignment::Right));
    // Width 0 (a statement item without a fixed width): x is the right edge.
    r.detail().add(ReportItem::label("anchored", "99.00", 300, 40, 0, 12, Alignment::Right));
    VectorDataSource one({"x"});
    one.addRow({Value(1)});
    r.setDataSource(&one);
    ReportDocument doc = ReportLayouter::run(r);
    QImage img = PageRenderer::image(doc, 0, 1.0, 72.0); // one pixel per point
    auto inkColumns = [&](int y0, int y1) {
        int lo = img.width(), hi = -1;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 128) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
        return std::make_pair(lo, hi);
    };
    auto [lo, hi] = inkColumns(0, 14);
    EXPECT_LE(hi, 300);
    EXPECT_GE(hi, 296);
    EXPECT_GT(lo, 200);
    auto [lo2, hi2] = inkColumns(20, 34);
    EXPECT_LE(hi2, 130);
    EXPECT_LT(lo2, 60); // far left of the item's 100-point start
    auto [lo3, hi3] = inkColumns(40, 54);
    EXPECT_LE(hi3, 300);
    EXPECT_GE(hi3, 296);
    EXPECT_GT(lo3, 260);
}

namespace {

// Rows made as they are read, so that the report's data takes no memory.
class CountingSource : public DataSource {
public:
    explicit CountingSource(int rows) : rows_(rows) {}
    bool next() override { return ++at_ <= rows_; }
    std::vector<std::string> fieldNames() const override { return {"g", "n"}; }
    Value value(std::string_view name) const override {
        if (name == "g") return Value("Group " + std::to_string(at_ / 100));
        return Value(Money::fromCents(at_ * 101));
    }
    bool rewind() override {
        at_ = 0;
        return true;
    }

private:
    int rows_;
    int at_ = 0;
};

long residentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A report of about 300 pages with a group per 100 rows and "page N of M".
struct LongReport {
    CountingSource data{20000};
    Report report{"Long"};
    LongReport() {
        report.setDataSource(&data);
        report.setCsvColumns({"N"});
        report.pageHeader().height = 20;
        report.pageHeader().add(ReportItem::special(ItemKind::PageNumber, "pg", 0, 0, 40, 12));
        report.pageHeader().add(ReportItem::special(ItemKind::PageCount, "of", 50, 0, 40, 12));
        auto& g = report.addGroup("g");
        g.header.height = 14;
        g.header.repeatOnEachPage = true;
        g.header.add(ReportItem::fieldItem("gh", "g", 0, 0, 200, 12));
        g.footer.height = 14;
        g.footer.add(ReportItem::sum("gt", "n", 300, 0, 100, 12, "#,##0.00"));
        report.detail().height = 10;
        for (int c = 0; c < 6; ++c)
            report.detail().add(ReportItem::fieldItem("n" + std::to_string(c), "n", c * 80, 0, 75, 10,
                                                      Alignment::Right, "#,##0.00")
                                    .exportedAs("N"));
    }
};

} // namespace

// Pages are written and let go: memory does not grow with the pages, and
// "page N of M" is right on every page.
TEST(ReportExport, LongExportKeepsMemoryFlat) {
    QTemporaryDir dir;
    LongReport r;
    PageStream pages(r.report);
    long atPage20 = 0, last = 0;
    int done = 0;
    std::string error;
    const std::string path = dir.filePath("long.pdf").toStdString();
    auto outcome = PdfExporter::write(pages, path, &error, [&](int n) {
        done = n;
        if (n == 20) atPage20 = residentKb();
        last = residentKb();
        return true;
    });
    ASSERT_EQ(outcome, WriteOutcome::Written) << error;
    ASSERT_GT(done, 250);
    EXPECT_LT(last - atPage20, 12 * 1024) << "resident memory grew by " << (last - atPage20) << " KB";
    EXPECT_EQ(infoField(run("pdfinfo '" + path + "'"), "Pages"), std::to_string(done));

    r.data.rewind();
    PageStream again(r.report);
    DocumentPage page;
    ASSERT_TRUE(again.skipTo(done - 1) && again.next(page));
    EXPECT_EQ(page.items[0].text, std::to_string(done));
    EXPECT_EQ(page.items[1].text, std::to_string(done));
}

// A cancelled or failing export leaves neither a file nor a temporary one,
// and a file it would have replaced stays as it was.
TEST(ReportExport, CancelledExportLeavesNoFile) {
    QTemporaryDir dir;
    for (auto format :
         {ReportExporter::Format::Pdf, ReportExporter::Format::Csv, ReportExporter::Format::Text}) {
        LongReport r;
        PageStream pages(r.report);
        const std::string path = dir.filePath("out").toStdString();
        std::filesystem::remove(path);
        auto outcome = ReportExporter::write(pages, format, path, nullptr, [](int n) { return n < 3; });
        EXPECT_EQ(outcome, WriteOutcome::Cancelled);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString()));
    }
    const std::string kept = dir.filePath("kept.csv").toStdString();
    std::ofstream(kept) << "before";
    LongReport r;
    PageStream pages(r.report);
    ReportExporter::write(pages, ReportExporter::Format::Csv, kept, nullptr, [](int) { return false; });
    EXPECT_EQ(vm::test::readFile(kept), "before");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 1);
}

// Each export writes its own temporary file: a file that happens to bear the
// name another writer would use is left alone.
TEST(ReportExport, ExportNeverTouchesAFixedTemporaryName) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("out.csv").toStdString();
    std::ofstream(path + ".part") << "someone else's";
    vm::test::SampleReport s;
    ASSERT_TRUE(ReportExporter::write(ReportLayouter::run(s.report), ReportExporter::Format::Csv, path));
    EXPECT_EQ(vm::test::readFile(path + ".part"), "someone else's");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 2);
}
