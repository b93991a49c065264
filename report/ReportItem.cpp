#include "report/ReportItem.h"

namespace vm::report {

namespace {
ReportItem base(ItemKind k, std::string name, double x, double y, double w, double h, Alignment a) {
    ReportItem it;
    it.kind = k;
    it.name = std::move(name);
    it.x = x;
    it.y = y;
    it.width = w;
    it.height = h;
    it.align = a;
    return it;
}
} // namespace

ReportItem ReportItem::label(std::string name, std::string text, double x, double y, double w, double h,
                             Alignment a) {
    ReportItem it = base(ItemKind::Label, std::move(name), x, y, w, h, a);
    it.text = std::move(text);
    return it;
}

ReportItem ReportItem::fieldItem(std::string name, std::string field, double x, double y, double w, double h,
                                 Alignment a, std::string mask) {
    ReportItem it = base(ItemKind::Field, std::move(name), x, y, w, h, a);
    it.field = std::move(field);
    it.mask = std::move(mask);
    return it;
}

ReportItem ReportItem::computed(std::string name, std::function<Value(const PrintContext&)> fn, double x,
                                double y, double w, double h, Alignment a, std::string mask) {
    ReportItem it = base(ItemKind::Computed, std::move(name), x, y, w, h, a);
    it.compute = std::move(fn);
    it.mask = std::move(mask);
    return it;
}

ReportItem ReportItem::sum(std::string name, std::string field, double x, double y, double w, double h,
                           std::string mask) {
    ReportItem it = base(ItemKind::Aggregate, std::move(name), x, y, w, h, Alignment::Right);
    it.field = std::move(field);
    it.mask = std::move(mask);
    it.function = AggregateFunction::Sum;
    return it;
}

ReportItem ReportItem::count(std::string name, double x, double y, double w, double h) {
    ReportItem it = base(ItemKind::Aggregate, std::move(name), x, y, w, h, Alignment::Right);
    it.function = AggregateFunction::Count;
    return it;
}

ReportItem ReportItem::special(ItemKind kind, std::string name, double x, double y, double w, double h,
                               Alignment a, std::string mask) {
    ReportItem it = base(kind, std::move(name), x, y, w, h, a);
    it.mask = std::move(mask);
    return it;
}

ReportItem ReportItem::line(std::string name, double x, double y, double w, double h) {
    return base(ItemKind::Line, std::move(name), x, y, w, h, Alignment::Left);
}

} // namespace vm::report
