#include "report/ReportLayouter.h"

#include "report/PageStream.h"

#include "report/DataSource.h"
#include "report/MaskFormatter.h"
#include "report/Report.h"
#include "report/Row.h"
#include "report/TextUtil.h"

#include <algorithm>
#include <deque>

namespace vm::report {

namespace {

constexpr int kNever = -1;
constexpr int kEachPage = -2;

struct Accumulator {
    const ReportItem* item = nullptr;
    int resetLevel = kNever; // group level whose start resets it, or kNever / kEachPage
    Value value;
    std::int64_t count = 0;
    bool any = false;

    void reset() {
        value = Value();
        count = 0;
        any = false;
    }

    Value result() const {
        if (item->function == AggregateFunction::Count) return Value(count);
        if (!any) return item->function == AggregateFunction::Sum ? Value(std::int64_t{0}) : Value();
        return value;
    }
};

// -1, 0, 1 for values of one kind; nullopt when they cannot be compared.
std::optional<int> compareValues(const Value& a, const Value& b) {
    auto cmp = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    const auto& sa = a.storage();
    const auto& sb = b.storage();
    if (sa.index() != sb.index()) return std::nullopt;
    if (auto* m = std::get_if<Money>(&sa)) return cmp(*m, std::get<Money>(sb));
    if (auto* i = std::get_if<std::int64_t>(&sa)) return cmp(*i, std::get<std::int64_t>(sb));
    if (auto* d = std::get_if<double>(&sa)) return cmp(*d, std::get<double>(sb));
    if (auto* s = std::get_if<std::string>(&sa)) return cmp(*s, std::get<std::string>(sb));
    if (auto* dt = std::get_if<Date>(&sa)) return cmp(*dt, std::get<Date>(sb));
    return std::nullopt;
}

Value addValues(const Value& acc, const Value& v) {
    const auto& sa = acc.storage();
    const auto& sv = v.storage();
    if (std::holds_alternative<Money>(sa) || std::holds_alternative<Money>(sv))
        return Value(acc.asMoney() + v.asMoney());
    if (std::holds_alternative<std::int64_t>(sa) && std::holds_alternative<std::int64_t>(sv))
        return Value(std::get<std::int64_t>(sa) + std::get<std::int64_t>(sv));
    return Value(acc.asDouble() + v.asDouble());
}

bool isNumber(const Value& v) {
    const auto& s = v.storage();
    return std::holds_alternative<Money>(s) || std::holds_alternative<std::int64_t>(s) ||
           std::holds_alternative<double>(s);
}

// The mask's decimals without symbols or grouping: what a spreadsheet reads.
std::string plainNumberMask(const std::string& mask, const Value& v) {
    if (mask.empty()) return std::holds_alternative<Money>(v.storage()) ? "0.00" : std::string();
    int decimals = 0;
    bool afterPoint = false;
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            break;
        } else if (c == '.') {
            afterPoint = true;
        } else if (afterPoint && (c == '0' || c == '#')) {
            ++decimals;
        }
    }
    return decimals ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
}

// A spreadsheet would run a text cell starting with these as a formula:
// such a cell is exported with a leading apostrophe.
std::string csvSafeText(const std::string& text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos)
        return "'" + text;
    return text;
}

DocumentInfo infoOf(const Report& r) {
    DocumentInfo info;
    info.title = r.title();
    info.page = r.pageSetup();
    info.csvColumns = r.csvColumns();
    info.textLineHeight = r.defaultFont().lineHeight();
    return info;
}

} // namespace

// The layout of one pass over the data source, driven a row at a time so that
// pages come out as they fill.
class PageStream::Layout {
public:
    struct PageCountSlot {
        int page; // from 1
        std::size_t index;
        std::string mask;
    };

    // countOnly: only page breaks are worked out, nothing is drawn.
    // totalPages: what page counts print (-1 unknown: they are left blank and
    // listed in pageCountSlots()).
    Layout(const Report& r, bool countOnly, int totalPages)
        : r_(r), pt_(r.pointsPerUnit()), fmt_(MaskOptions{r.language(), r.dateMask(), r.timeMask()}),
          csvFmt_(MaskOptions{1, r.dateMask(), r.timeMask()}), countOnly_(countOnly),
          totalPages_(totalPages) {
        const auto& ps = r.pageSetup();
        info_ = infoOf(r);
        bodyBottom_ = ps.height() - ps.marginBottom - std::max(0.0, r.pageFooter().height) * pt_;
        int n = static_cast<int>(r.groups().size());
        groupRows_.resize(static_cast<std::size_t>(n));
        groupActive_.assign(static_cast<std::size_t>(n), false);
        for (const ReportBand* b : r.allBands())
            for (const auto& it : b->items)
                if (it.kind == ItemKind::Aggregate)
                    accs_.push_back({&it, resetLevelOf(*b, it), {}, 0, false});
    }

    const DocumentInfo& info() const { return info_; }
    const std::vector<PageCountSlot>& pageCountSlots() const { return pageCounts_; }
    int pagesLaidOut() const { return pageNo_; }

    // The next finished page; false once the last was handed out.
    bool next(DocumentPage& out) {
        while (done_.empty() && counted_ == 0 && !ended_)
            step();
        if (countOnly_) {
            if (counted_ == 0) return false;
            --counted_;
            out = DocumentPage();
            return true;
        }
        if (done_.empty()) return false;
        out = std::move(done_.front());
        done_.pop_front();
        return true;
    }

    // Runs to the end (a counting pass); returns the number of pages.
    int count() {
        while (!ended_)
            step();
        return pageNo_;
    }

private:
    // One row (its group changes, its detail band), or the end of the report.
    void step() {
        const auto& groups = r_.groups();
        const int n = static_cast<int>(groups.size());
        if (!started_) {
            started_ = true;
            src_ = r_.dataSource();
            // The first row is read before the first page starts, so that its
            // header can show it (a statement's client).
            have_ = src_ && src_->next();
            if (have_) row_ = Row::capture(*src_);
            current_ = row_;
            startPage();
            return;
        }
        if (!have_) {
            if (any_)
                for (int L = n - 1; L >= 0; --L)
                    closeGroup(L, prev_);
            current_ = prev_;
            placeBand(r_.summary(), prev_, -1);
            endPage();
            finishPage();
            ended_ = true;
            return;
        }
        std::vector<Value> keys;
        keys.reserve(groups.size());
        for (const auto& g : groups)
            keys.push_back(g.key ? g.key(row_) : row_.value(g.keyField));
        int change = n > 0 ? 0 : -1;
        if (any_) {
            change = -1;
            for (int L = 0; L < n && change < 0; ++L)
                if (!(keys[static_cast<std::size_t>(L)] == prevKeys_[static_cast<std::size_t>(L)]))
                    change = L;
            for (int L = n - 1; change >= 0 && L >= change; --L)
                closeGroup(L, prev_);
        }
        current_ = row_; // a page started by a group header shows the new group
        for (int L = change; L >= 0 && L < n; ++L)
            openGroup(L, row_);
        if (!src_->groupOnly()) detail(row_);
        prev_ = std::move(row_);
        prevKeys_ = std::move(keys);
        any_ = true;
        have_ = src_->next();
        if (have_) row_ = Row::capture(*src_);
    }

    int resetLevelOf(const ReportBand& b, const ReportItem& it) const {
        switch (it.scope) {
        case AggregateScope::Report:
            return kNever;
        case AggregateScope::Page:
            return kEachPage;
        case AggregateScope::Group:
            return it.groupLevel;
        case AggregateScope::Natural:
            break;
        }
        const auto& groups = r_.groups();
        switch (b.kind) {
        case BandKind::PageHeader:
        case BandKind::PageFooter:
            return kEachPage;
        case BandKind::Title:
        case BandKind::Summary:
            return kNever;
        case BandKind::Detail:
            return groups.empty() ? kNever : static_cast<int>(groups.size()) - 1;
        case BandKind::GroupHeader:
        case BandKind::GroupFooter:
            break;
        }
        for (std::size_t L = 0; L < groups.size(); ++L)
            if (&groups[L].header == &b || &groups[L].footer == &b) return static_cast<int>(L);
        return kNever;
    }

    void openGroup(int L, const Row& row) {
        for (auto& a : accs_)
            if (a.resetLevel >= L) a.reset();
        const ReportBand& h = r_.groups()[static_cast<std::size_t>(L)].header;
        if (L == 0) groupStartPending_ = true;
        if (h.newPageBefore && bodyPlaced_) newPage();
        // The group counts as running only once its header is placed: a page
        // begun to make room for the header must not repeat it above itself.
        placeBand(h, row, L);
        groupRows_[static_cast<std::size_t>(L)] = row;
        groupActive_[static_cast<std::size_t>(L)] = true;
        if (groupStartPending_) { // header hidden or skipped: the group still starts here
            groupStartPage_ = page();
            groupStartPending_ = false;
        }
    }

    void closeGroup(int L, const Row& row) {
        placeBand(r_.groups()[static_cast<std::size_t>(L)].footer, row, L);
        groupActive_[static_cast<std::size_t>(L)] = false;
    }

    void detail(const Row& row) {
        const ReportBand& d = r_.detail();
        if (d.beforePrint && !d.beforePrint(row)) return;
        double h = growHeight(d, row);
        if (d.visible && !fits(h)) newPage();
        accumulate(row);
        if (d.visible) {
            emit(d, row, -1, y_);
            y_ += h;
            bodyPlaced_ = true;
        }
        if (d.afterPrint) d.afterPrint(row);
    }

    void accumulate(const Row& row) {
        for (auto& a : accs_) {
            const ReportItem& it = *a.item;
            Value v;
            bool hasSource = it.compute || !it.field.empty();
            if (it.compute)
                v = it.compute(PrintContext{row, page(), groupPage()});
            else if (!it.field.empty())
                v = row.value(it.field);
            if (it.function == AggregateFunction::Count) {
                if (!hasSource || !v.isNull()) ++a.count;
                continue;
            }
            if (v.isNull()) continue;
            if (!a.any) {
                a.value = v;
                a.any = true;
            } else if (it.function == AggregateFunction::Sum) {
                a.value = addValues(a.value, v);
            } else if (auto c = compareValues(v, a.value)) {
                if ((it.function == AggregateFunction::Min && *c < 0) ||
                    (it.function == AggregateFunction::Max && *c > 0))
                    a.value = v;
            }
        }
    }

    // Places a band (not the detail) on the current page or the next one.
    void placeBand(const ReportBand& b, const Row& row, int level) {
        if (b.isEmpty() || !b.visible) return;
        if (b.beforePrint && !b.beforePrint(row)) return;
        double h = growHeight(b, row);
        double need = h;
        if (b.kind == BandKind::GroupHeader && r_.detail().visible) need += r_.detail().height * pt_;
        if (!fits(need)) newPage();
        if (groupStartPending_ && b.kind == BandKind::GroupHeader && level == 0) {
            groupStartPage_ = page();
            groupStartPending_ = false;
        }
        emit(b, row, level, y_);
        y_ += h;
        bodyPlaced_ = true;
        if (b.afterPrint) b.afterPrint(row);
    }

    bool fits(double h) const { return !bodyPlaced_ || y_ + h <= bodyBottom_ + 1e-6; }

    int page() const { return pageNo_; }
    int groupPage() const { return page() - groupStartPage_ + 1; }

    void startPage() {
        ++pageNo_;
        cur_ = DocumentPage();
        if (groupStartPending_) { // the page a new outermost group starts on
            groupStartPage_ = page();
            groupStartPending_ = false;
        }
        y_ = r_.pageSetup().marginTop;
        bodyPlaced_ = false;
        for (auto& a : accs_)
            if (a.resetLevel == kEachPage) a.reset();
        Row row = current_;
        placeFixed(r_.pageHeader(), row, -1, true);
        if (page() == 1)
            placeFixed(r_.titleBand(), row, -1, true);
        else
            for (std::size_t L = 0; L < groupActive_.size(); ++L) {
                const ReportBand& h = r_.groups()[L].header;
                if (groupActive_[L] && h.repeatOnEachPage && h.visible && !h.isEmpty()) {
                    repeating_ = true;
                    placeFixed(h, groupRows_[L], static_cast<int>(L), false);
                    repeating_ = false;
                }
            }
    }

    void endPage() {
        const ReportBand& f = r_.pageFooter();
        if (f.isEmpty() || !f.visible || (f.beforePrint && !f.beforePrint(current_))) return;
        // The footer belongs to the page it closes: the last row printed on it.
        const Row& row = lastPlaced_.empty() ? current_ : lastPlaced_;
        emit(f, row, -1, bodyBottom_);
        if (f.afterPrint) f.afterPrint(row);
    }

    void finishPage() {
        if (countOnly_)
            ++counted_;
        else
            done_.push_back(std::move(cur_));
        cur_ = DocumentPage();
    }

    void newPage() {
        endPage();
        finishPage();
        startPage();
    }

    // Page header, title and repeated group headers: placed without a fit test.
    void placeFixed(const ReportBand& b, const Row& row, int level, bool callbacks) {
        if (b.isEmpty() || !b.visible || (callbacks && b.beforePrint && !b.beforePrint(row))) return;
        double h = growHeight(b, row);
        emit(b, row, level, y_);
        y_ += h;
        if (callbacks && b.afterPrint) b.afterPrint(row);
    }

    // The band's height, grown for labels and fields of several lines.
    double growHeight(const ReportBand& b, const Row& row) const {
        double h = b.height * pt_;
        for (const auto& it : b.items) {
            const bool computed = it.kind == ItemKind::Computed && it.grows && it.compute;
            if (!it.visible || it.exportOnly ||
                (it.kind != ItemKind::Label && it.kind != ItemKind::Field && !computed))
                continue;
            std::string text = it.kind == ItemKind::Label ? it.text
                               : computed
                                   ? fmt_.format(it.compute(PrintContext{row, page(), groupPage()}), it.mask)
                                   : fmt_.format(row.value(it.field), it.mask);
            std::size_t lines = splitLines(text).size();
            if (lines > 1) {
                const ItemFont& f = it.font ? *it.font : r_.defaultFont();
                h = std::max(h, it.y * pt_ +
                                    std::max(it.height * pt_, static_cast<double>(lines) * f.lineHeight()));
            }
        }
        return h;
    }

    struct Evaluated {
        Value value;
        std::string text;
    };

    Evaluated evaluate(const ReportItem& it, const Row& row, bool& pageCount) {
        auto fmtd = [&](Value v) { return Evaluated{v, fmt_.format(v, it.mask)}; };
        switch (it.kind) {
        case ItemKind::Label:
            return {Value(it.text), it.text};
        case ItemKind::Field:
            return fmtd(row.value(it.field));
        case ItemKind::Computed:
            return fmtd(it.compute ? it.compute(PrintContext{row, page(), groupPage()}) : Value());
        case ItemKind::Aggregate:
            for (auto& a : accs_)
                if (a.item == &it) return fmtd(a.result());
            return {};
        case ItemKind::PageNumber:
            return fmtd(Value(static_cast<std::int64_t>(page())));
        case ItemKind::GroupPageNumber:
            return fmtd(Value(static_cast<std::int64_t>(groupPage())));
        case ItemKind::PageCount:
            pageCount = true;
            return {};
        case ItemKind::PrintDate:
            return fmtd(Value(r_.printDateTime().date()));
        case ItemKind::PrintTime:
            return fmtd(Value(Time::fromSeconds(r_.printDateTime().secondsOfDay())));
        case ItemKind::Line:
        case ItemKind::Box:
        case ItemKind::Image:
            break;
        }
        return {};
    }

    void emit(const ReportBand& b, const Row& row, int level, double top) {
        const bool pageBand = b.kind == BandKind::PageHeader || b.kind == BandKind::PageFooter;
        ++bandInstance_;
        if (!pageBand && !repeating_) lastPlaced_ = row;
        if (countOnly_) return; // page breaks depend on heights only
        const auto& ps = r_.pageSetup();
        auto& items = cur_.items;
        const bool exportedBand = !pageBand && !repeating_;
        const auto& columns = info_.csvColumns;
        ExportLine line{b.kind, std::vector<std::string>(columns.size())};
        bool anyCell = false;
        for (const auto& it : b.items) {
            if (!it.visible) continue;
            PlacedItem p;
            p.band = b.kind;
            p.groupLevel = level;
            p.name = it.name;
            p.x = ps.marginLeft + it.x * pt_;
            p.y = top + it.y * pt_;
            p.width = it.width * pt_;
            p.height = it.height * pt_;
            p.align = it.align;
            p.font = it.font ? *it.font : r_.defaultFont();
            p.lineWidth = it.lineWidth;
            p.bandInstance = bandInstance_;
            p.bandTop = top;
            p.repeated = repeating_;
            bool pageCount = false;
            switch (it.kind) {
            case ItemKind::Line:
                p.shape = PlacedItem::Shape::Line;
                break;
            case ItemKind::Box:
                p.shape = PlacedItem::Shape::Box;
                break;
            case ItemKind::Image:
                p.shape = PlacedItem::Shape::Image;
                p.text = it.text;
                break;
            default: {
                Evaluated e = evaluate(it, row, pageCount);
                p.text = e.text;
                std::size_t lines = splitLines(p.text).size();
                if (lines > 1)
                    p.height = std::max(p.height, static_cast<double>(lines) * p.font.lineHeight());
                if (exportedBand && !it.csvColumn.empty()) {
                    for (std::size_t c = 0; c < columns.size(); ++c)
                        if (equalsNoCase(columns[c], it.csvColumn)) {
                            line.cells[c] = isNumber(e.value)
                                                ? csvFmt_.format(e.value, plainNumberMask(it.mask, e.value))
                                                : csvSafeText(e.text);
                            anyCell = true;
                        }
                }
            }
            }
            if (it.exportOnly) continue;
            if (pageCount) {
                if (totalPages_ >= 0)
                    p.text = MaskFormatter::formatInteger(totalPages_, it.mask,
                                                          NumberSeparators::of(r_.language()));
                else
                    pageCounts_.push_back({pageNo_, items.size(), it.mask});
            }
            items.push_back(std::move(p));
        }
        if (anyCell) cur_.exportLines.push_back(std::move(line));
    }

    const Report& r_;
    double pt_;
    MaskFormatter fmt_;
    // Numbers in CSV cells keep the plain decimal point in every language:
    // they are data for spreadsheets and other programs, not print.
    MaskFormatter csvFmt_;
    bool countOnly_;
    std::int64_t totalPages_;
    DocumentInfo info_;
    DocumentPage cur_;
    std::deque<DocumentPage> done_;
    int pageNo_ = 0;
    int counted_ = 0; // count-only: pages finished and not yet handed out
    DataSource* src_ = nullptr;
    bool started_ = false, ended_ = false, have_ = false, any_ = false;
    Row row_, prev_;
    std::vector<Value> prevKeys_;
    double y_ = 0;
    double bodyBottom_ = 0;
    bool bodyPlaced_ = false;
    int groupStartPage_ = 1;
    bool groupStartPending_ = false;
    bool repeating_ = false;
    int bandInstance_ = 0;
    std::vector<Accumulator> accs_;
    std::vector<Row> groupRows_;
    std::vector<bool> groupActive_;
    Row current_;
    Row lastPlaced_;
    std::vector<PageCountSlot> pageCounts_;
};

ReportDocument ReportLayouter::run(const Report& report) {
    PageStream::Layout layout(report, false, -1);
    ReportDocument doc;
    static_cast<DocumentInfo&>(doc) = layout.info();
    DocumentPage page;
    while (layout.next(page)) {
        for (auto& l : page.exportLines)
            doc.exportLines.push_back(std::move(l));
        page.exportLines.clear();
        doc.pages.push_back(std::move(page));
    }
    for (const auto& slot : layout.pageCountSlots())
        doc.pages[static_cast<std::size_t>(slot.page - 1)].items[slot.index].text =
            MaskFormatter::formatInteger(static_cast<std::int64_t>(doc.pages.size()), slot.mask,
                                         NumberSeparators::of(report.language()));
    return doc;
}

static bool reportCountsPages(const Report& report) {
    for (const ReportBand* b : report.allBands())
        for (const auto& it : b->items)
            if (it.kind == ItemKind::PageCount && it.visible) return true;
    return false;
}

PageStream::PageStream(const Report& report) : report_(&report), info_(infoOf(report)) {}

PageStream::PageStream(const Report& report, std::shared_ptr<void> keep)
    : keep_(std::move(keep)), report_(&report), info_(infoOf(report)) {}

PageStream::PageStream(std::unique_ptr<Report> report, std::shared_ptr<void> keep)
    : keep_(std::move(keep)), owned_(std::move(report)), report_(owned_.get()), info_(infoOf(*report_)) {}

PageStream::PageStream(ReportDocument doc) : held_(std::make_unique<ReportDocument>(std::move(doc))) {
    if (!held_->pages.empty()) held_->pages.front().exportLines = std::move(held_->exportLines);
    held_->exportLines.clear();
    started_ = true;
}

PageStream::~PageStream() = default;

void PageStream::countOnly() {
    if (!started_ && !held_) countOnly_ = true;
}

void PageStream::start() {
    started_ = true;
    if (countOnly_) {
        layout_ = std::make_unique<Layout>(*report_, true, -1);
        return;
    }
    int total = -1;
    if (reportCountsPages(*report_)) {
        DataSource* src = report_->dataSource();
        if (src && src->rewind()) {
            total = Layout(*report_, true, -1).count();
            src->rewind();
        } else if (src) { // cannot read twice: hold the pages
            held_ = std::make_unique<ReportDocument>(ReportLayouter::run(*report_));
            return;
        }
    }
    layout_ = std::make_unique<Layout>(*report_, false, total);
}

const DocumentInfo& PageStream::info() const {
    if (held_) return *held_;
    return info_;
}

bool PageStream::next(DocumentPage& page) {
    if (!started_) start();
    bool got = false;
    if (held_) {
        if (heldNext_ < held_->pages.size()) {
            page = std::move(held_->pages[heldNext_]);
            held_->pages[heldNext_] = DocumentPage();
            ++heldNext_;
            got = true;
        }
    } else {
        got = layout_->next(page);
    }
    if (got) ++done_;
    return got;
}

int PageStream::pagesDone() const {
    return done_;
}

bool PageStream::skipTo(int index) {
    DocumentPage page;
    while (done_ < index)
        if (!next(page)) return false;
    return true;
}

} // namespace vm::report
