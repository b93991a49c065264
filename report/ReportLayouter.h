#pragma once
#include "report/ReportDocument.h"

namespace vm::report {

class Report;

// Lays a report out on pages: reads its data source once, from the first row
// to the last, runs the band callbacks, keeps the totals, and returns every
// page with what it draws. Engine errors of the data source propagate.
//
// Paging: a band that does not fit above the page footer goes to the next
// page, whole; a band taller than an empty page is printed anyway, running
// over the footer, rather than lost. A group header also needs room for one
// detail band after it, so that it is not left alone at the foot of a page.
class ReportLayouter {
public:
    static ReportDocument run(const Report& report);
};

} // namespace vm::report
