#include "report/TextExporter.h"

#include "report/FileWriter.h"
#include "report/ReportDocument.h"
#include "report/TextUtil.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vm::report {

namespace {

struct Piece {
    long col; // first column
    std::string text;
};

int columnOf(double pts) {
    return static_cast<int>(std::lround(pts / TextExporter::kPointsPerColumn));
}

void flushBand(std::map<long, std::vector<Piece>>& rows, std::string& out) {
    if (rows.empty()) return;
    long last = rows.rbegin()->first;
    for (long r = 0; r <= last; ++r) {
        auto it = rows.find(r);
        std::string line;
        std::size_t len = 0; // in characters
        if (it != rows.end()) {
            auto& pieces = it->second;
            std::stable_sort(pieces.begin(), pieces.end(),
                             [](const Piece& a, const Piece& b) { return a.col < b.col; });
            for (const auto& p : pieces) {
                long col = std::max<long>(p.col, 0);
                if (len > 0 && col <= static_cast<long>(len)) col = static_cast<long>(len) + 1;
                line.append(static_cast<std::size_t>(col) - len, ' ');
                line += p.text;
                len = static_cast<std::size_t>(col) + utf8Length(p.text);
            }
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line;
        out += '\n';
    }
    rows.clear();
}

} // namespace

// Turns pages into lines as they come; a band never spans two pages, so the
// band being gathered is always complete at the end of a page.
class TextExporter::Lines {
public:
    explicit Lines(const DocumentInfo& info)
        : info_(info), lineH_(info.textLineHeight > 0 ? info.textLineHeight : 10.8) {}

    void page(const DocumentPage& page, std::string& out) {
        for (const auto& it : page.items) {
            if (it.shape != PlacedItem::Shape::Text || it.repeated || it.band == BandKind::PageFooter ||
                (pageNo_ > 0 && it.band == BandKind::PageHeader))
                continue;
            if (it.bandInstance != instance_) {
                flushBand(rows_, out);
                instance_ = it.bandInstance;
            }
            long row0 = std::lround((it.y - it.bandTop) / lineH_);
            auto lines = splitLines(it.text);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::string& t = lines[i];
                if (t.empty()) continue;
                long n = static_cast<long>(utf8Length(t));
                double left = it.x - info_.page.marginLeft;
                long col = columnOf(left);
                if (it.align == Alignment::Right)
                    col = columnOf(left + it.width) - n;
                else if (it.align == Alignment::Center)
                    col = columnOf(left + it.width / 2) - n / 2;
                rows_[row0 + static_cast<long>(i)].push_back({col, t});
            }
        }
        flushBand(rows_, out);
        ++pageNo_;
    }

private:
    const DocumentInfo& info_;
    double lineH_;
    std::map<long, std::vector<Piece>> rows_;
    int instance_ = -1;
    int pageNo_ = 0;
};

std::string TextExporter::text(const ReportDocument& doc) {
    std::string out;
    Lines lines(doc);
    for (const auto& page : doc.pages)
        lines.page(page, out);
    return out;
}

bool TextExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    return FileWriter::writeAll(path, text(doc), error);
}

WriteOutcome TextExporter::write(PageStream& pages, const std::string& path, std::string* error,
                                 const Progress& progress) {
    AtomicFile file;
    if (!file.open(path, error)) return WriteOutcome::Failed;
    Lines lines(pages.info());
    std::string out;
    DocumentPage page;
    for (int n = 1; pages.next(page); ++n) {
        lines.page(page, out);
        if (!file.write(out)) break;
        out.clear();
        if (progress && !progress(n)) {
            file.discard();
            return WriteOutcome::Cancelled;
        }
    }
    return file.commit(error) ? WriteOutcome::Written : WriteOutcome::Failed;
}

} // namespace vm::report
