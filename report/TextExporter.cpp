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

std::string TextExporter::text(const ReportDocument& doc) {
    std::string out;
    std::map<long, std::vector<Piece>> rows;
    int instance = -1;
    double lineH = doc.textLineHeight > 0 ? doc.textLineHeight : 10.8;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        for (const auto& it : doc.pages[p].items) {
            if (it.shape != PlacedItem::Shape::Text || it.repeated || it.band == BandKind::PageFooter ||
                (p > 0 && it.band == BandKind::PageHeader))
                continue;
            if (it.bandInstance != instance) {
                flushBand(rows, out);
                instance = it.bandInstance;
            }
            long row0 = std::lround((it.y - it.bandTop) / lineH);
            auto lines = splitLines(it.text);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::string& t = lines[i];
                if (t.empty()) continue;
                long n = static_cast<long>(utf8Length(t));
                double left = it.x - doc.page.marginLeft;
                long col = columnOf(left);
                if (it.align == Alignment::Right)
                    col = columnOf(left + it.width) - n;
                else if (it.align == Alignment::Center)
                    col = columnOf(left + it.width / 2) - n / 2;
                rows[row0 + static_cast<long>(i)].push_back({col, t});
            }
        }
    }
    flushBand(rows, out);
    return out;
}

bool TextExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    return FileWriter::writeAll(path, text(doc), error);
}

} // namespace vm::report
