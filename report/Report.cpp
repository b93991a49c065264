#include "report/Report.h"

#include "report/CurrencyMask.h"
#include "report/TextUtil.h"

namespace vm::report {

const char* bandKindName(BandKind k) {
    switch (k) {
    case BandKind::Title:
        return "title";
    case BandKind::PageHeader:
        return "pageHeader";
    case BandKind::GroupHeader:
        return "groupHeader";
    case BandKind::Detail:
        return "detail";
    case BandKind::GroupFooter:
        return "groupFooter";
    case BandKind::Summary:
        return "summary";
    case BandKind::PageFooter:
        return "pageFooter";
    }
    return "band";
}

Report::Report(std::string title) : title_(std::move(title)), printed_(DateTime::now()) {}

ReportGroup& Report::addGroup(std::string keyField) {
    ReportGroup g;
    g.keyField = std::move(keyField);
    groups_.push_back(std::move(g));
    return groups_.back();
}

std::vector<ReportBand*> Report::allBands() {
    std::vector<ReportBand*> v{&title_band_, &pageHeader_};
    for (auto& g : groups_)
        v.push_back(&g.header);
    v.push_back(&detail_);
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it)
        v.push_back(&it->footer);
    v.push_back(&summary_);
    v.push_back(&pageFooter_);
    return v;
}

std::vector<const ReportBand*> Report::allBands() const {
    std::vector<const ReportBand*> v;
    for (auto* b : const_cast<Report*>(this)->allBands())
        v.push_back(b);
    return v;
}

ReportItem* Report::findItem(std::string_view name) {
    for (auto* b : allBands())
        for (auto& it : b->items)
            if (equalsNoCase(it.name, name)) return &it;
    return nullptr;
}

bool Report::setCaption(std::string_view name, std::string text) {
    ReportItem* it = findItem(name);
    if (!it || it->kind != ItemKind::Label) return false;
    it->text = std::move(text);
    return true;
}

int Report::applyCurrency(const std::string& symbol, bool symbolBefore) {
    int changed = 0;
    for (auto* b : allBands())
        for (auto& it : b->items) {
            if (it.mask.empty() || it.mask[0] != '$') continue;
            std::string m = rewriteCurrencyMask(it.mask, symbol, symbolBefore);
            if (m != it.mask) {
                it.mask = std::move(m);
                ++changed;
            }
        }
    return changed;
}

} // namespace vm::report
