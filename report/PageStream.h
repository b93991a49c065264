#pragma once
#include "report/ReportDocument.h"

#include <functional>
#include <memory>

namespace vm::report {

class Report;

// Called by long outputs after each page with the number of pages done;
// returning false stops the output.
using Progress = std::function<bool(int pagesDone)>;

// What became of an output written page by page.
enum class WriteOutcome { Written, Failed, Cancelled };

// A report laid out one page at a time, as the pages are asked for: the data
// source is read only as far as the page asked for needs, and a page handed
// out is no longer held. A report of any length is laid out in the memory of
// one page (and the current row of each group).
//
// "Page N of M" (a PageCount item): the stream first lays the whole report
// out once without drawing anything, to count the pages, then rewinds the
// data source and lays it out again for real. A source that cannot rewind
// has its pages held until the last one is laid out, as a ReportDocument
// would (in-memory sources, which are small). Reports without a page count
// are read once. Band callbacks run in both passes.
class PageStream {
public:
    // The report and its data source must outlive the stream.
    explicit PageStream(const Report& report);
    // Owns the report and `keep` (what its data source stands on: the source,
    // the computation it reads); they are released after the stream.
    PageStream(std::unique_ptr<Report> report, std::shared_ptr<void> keep);
    // Borrows the report, which `keep` holds (with its data source).
    PageStream(const Report& report, std::shared_ptr<void> keep);
    // Hands out the pages of a document laid out already; its CSV lines come
    // with the first page.
    explicit PageStream(ReportDocument doc);
    ~PageStream();
    PageStream(const PageStream&) = delete;
    PageStream& operator=(const PageStream&) = delete;

    const DocumentInfo& info() const;
    // The next page, with the CSV lines of its bands; false after the last.
    // Engine errors of the data source propagate.
    bool next(DocumentPage& page);
    // Pages handed out so far.
    int pagesDone() const;
    // Before the first page: pages are only counted, nothing is drawn (next()
    // hands out empty pages). For showing a page count while pages are read.
    void countOnly();
    // Lays out and drops pages until `index` (from 0) is the next one; false
    // when the report ends first.
    bool skipTo(int index);

private:
    friend class ReportLayouter;
    void start();

    class Layout;
    std::shared_ptr<void> keep_;
    std::unique_ptr<Report> owned_;
    const Report* report_ = nullptr;
    DocumentInfo info_;
    std::unique_ptr<Layout> layout_;
    std::unique_ptr<ReportDocument> held_;
    std::size_t heldNext_ = 0;
    int done_ = 0;
    bool started_ = false;
    bool countOnly_ = false;
};

// Makes a fresh stream over the same report each time it is called: the
// preview starts again from the first page to show a page it let go.
using StreamFactory = std::function<std::unique_ptr<PageStream>()>;

} // namespace vm::report
