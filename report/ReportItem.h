#pragma once
#include "engine/Value.h"
#include "report/ItemFont.h"
#include "report/Row.h"

#include <functional>
#include <optional>
#include <string>

namespace vm::report {

// What the computed-value callbacks see while a band is being printed.
struct PrintContext {
    const Row& row; // the row the band prints (the group's last row for a footer)
    int page;       // page number, from 1
    int groupPage;  // page number within the current outermost group, from 1
};

enum class ItemKind {
    Label,     // fixed text; language tables re-caption it by name
    Field,     // a value of the current row
    Computed,  // a value returned by a callback
    Aggregate, // a sum or count over detail rows
    PageNumber,
    GroupPageNumber, // restarts with each instance of the outermost group
    PageCount,       // number of pages of the whole report
    PrintDate,       // the report's print date
    PrintTime,
    Line, // from (x, y) to (x + width, y + height)
    Box,  // a rectangle outline
    Image // a picture file, stretched to the item (its own size when 0 x 0)
};

enum class Alignment { Left, Right, Center };
enum class AggregateFunction { Sum, Count, Min, Max };

// When an aggregate starts again from zero. Natural: at the start of each
// instance of the group whose header or footer holds it (the innermost group
// for the detail band), never for title and summary, and at each new page for
// the page header and footer.
enum class AggregateScope { Natural, Report, Page, Group };

// One thing a band prints. Positions are relative to the band's top-left
// corner, in the report's units (points, or inches for positioned layouts).
struct ReportItem {
    ItemKind kind = ItemKind::Label;
    std::string name; // component name, for language tables and lookups
    double x = 0, y = 0, width = 0, height = 0;
    Alignment align = Alignment::Left;
    std::optional<ItemFont> font; // the report's font when unset
    std::string text;             // caption of a label; picture path of an image
    std::string field;            // Field: the value's name; Aggregate: the summed value
    // Display mask: a number mask ("#,##0.00;-#,##0.00", "$#,##0.00") for
    // numbers and amounts, a date mask ("dd/mm/yyyy") for dates and times.
    std::string mask;
    bool visible = true;
    // Computed: the value to print. Aggregate: the value to add per detail row
    // (instead of `field`).
    std::function<Value(const PrintContext&)> compute;
    AggregateFunction function = AggregateFunction::Sum;
    AggregateScope scope = AggregateScope::Natural;
    int groupLevel = 0;     // for AggregateScope::Group
    double lineWidth = 0.5; // Line and Box, in points
    // Export: the CSV column this item fills ("" = not exported).
    std::string csvColumn;
    // Exported but not drawn: a value the CSV needs on every line that the
    // printed band leaves to its group header.
    bool exportOnly = false;
    // Computed: the value may hold several lines, and the band grows to show
    // them; compute is then also called to measure the band, so it must give
    // the same value twice.
    bool grows = false;

    static ReportItem label(std::string name, std::string text, double x, double y, double w, double h,
                            Alignment a = Alignment::Left);
    static ReportItem fieldItem(std::string name, std::string field, double x, double y, double w, double h,
                                Alignment a = Alignment::Left, std::string mask = {});
    static ReportItem computed(std::string name, std::function<Value(const PrintContext&)> fn, double x,
                               double y, double w, double h, Alignment a = Alignment::Left,
                               std::string mask = {});
    static ReportItem sum(std::string name, std::string field, double x, double y, double w, double h,
                          std::string mask = {});
    static ReportItem count(std::string name, double x, double y, double w, double h);
    static ReportItem special(ItemKind kind, std::string name, double x, double y, double w, double h,
                              Alignment a = Alignment::Left, std::string mask = {});
    static ReportItem line(std::string name, double x, double y, double w, double h = 0);

    ReportItem& withFont(ItemFont f) {
        font = std::move(f);
        return *this;
    }
    ReportItem& exportedAs(std::string column) {
        csvColumn = std::move(column);
        return *this;
    }
};

} // namespace vm::report
