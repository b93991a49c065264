#pragma once
#include "report/ReportItem.h"

#include <functional>
#include <string>
#include <vector>

namespace vm::report {

enum class BandKind { Title, PageHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };

// A horizontal strip printed as a whole: never split over two pages. Its
// height is in the report's units; it grows when a text item holds more
// lines than fit (each line at the item font's fixed line height).
struct ReportBand {
    ReportBand() = default;
    explicit ReportBand(BandKind k) : kind(k) {}

    BandKind kind = BandKind::Detail;
    double height = 0;
    std::vector<ReportItem> items;
    // Not printed, but still run: a hidden detail band still adds its rows to
    // the totals (summary listings).
    bool visible = true;
    // Called before the band prints; false skips this printing. For the detail
    // band a skipped row is left out entirely: no band, no totals.
    std::function<bool(const Row&)> beforePrint;
    // Called after the band has printed (running values kept by a module).
    std::function<void(const Row&)> afterPrint;
    // Group headers: start each group on a new page.
    bool newPageBefore = false;
    // Group headers: print again at the top of each page the group continues on.
    bool repeatOnEachPage = false;

    ReportItem& add(ReportItem item) {
        items.push_back(std::move(item));
        return items.back();
    }
    bool isEmpty() const { return items.empty() && height <= 0; }
};

const char* bandKindName(BandKind k);

} // namespace vm::report
