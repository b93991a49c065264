#pragma once
#include "modules/custstmt/core/StatementLayout.h"
#include "modules/custstmt/core/Statements.h"
#include "report/DataSource.h"
#include "report/PageStream.h"
#include "report/Report.h"
#include "report/ReportDocument.h"

#include <functional>
#include <memory>
#include <string>

namespace vm::custstmt {

// The company block of a statement (the comp row of the company).
struct CompanyBlock {
    std::string name, adr1, adr2, city, prov, postalCode, telephone;
};
CompanyBlock readCompanyBlock(Database& dataRoot, int companyCode);

// The statements as report rows, pulled from the computation one client at a
// time: one row per transaction line, or one group-only row for a client
// without lines (its header and footer still print). Each row carries the
// company, client and line values under the data field names of the layouts,
// and the client's totals.
class StatementDataSource : public report::DataSource {
public:
    StatementDataSource(StatementRun& run, CompanyBlock company);

    bool next() override;
    bool groupOnly() const override { return hasClient_ && current_.lines.empty(); }
    std::vector<std::string> fieldNames() const override;
    Value value(std::string_view name) const override;
    bool rewind() override;
    // The client whose rows are being read.
    const Statement& current() const { return current_; }

private:
    StatementRun& run_;
    CompanyBlock company_;
    Statement current_;
    std::size_t line_ = 0;
    bool hasClient_ = false, done_ = false;
};

// The report of a layout: its page size, one item per layout row in the band
// its letter names, a new page per client with the header repeated on every
// page of the client, and the footer after the client's last line. `logo` is
// the picture of a logo item (none when empty); `amountSign` is printed
// before amounts.
std::unique_ptr<report::Report> buildStatementReport(const StatementLayout& layout, const std::string& logo,
                                                     const std::string& amountSign, int language = 1,
                                                     const std::string& dateMask = "dd/mm/yyyy");

// Everything a statement run needs besides the company's tables.
struct StatementReportSetup {
    StatementOptions options;
    bool email = false; // the mailed layout (Earecfrm*)
    std::string companyDir;
    CompanyBlock company;
    std::string localSign; // the company currency's sign
    int language = 1;
    std::string dateMask = "dd/mm/yyyy";
};

// The statements of a selection as a stream of pages: what the window prints,
// previews and exports, and what the batch command writes. Each stream runs
// the selection afresh over its own cursors of the database `company`
// returns, so that a preview can start again while another stream is open;
// memory holds one page and one client. Reads only.
report::StreamFactory statementStream(std::function<Database&()> company, const StatementReportSetup& setup);

// The whole selection laid out at once (one client's mailed statement, tests).
report::ReportDocument layOutStatements(Database& company, const StatementReportSetup& setup);

} // namespace vm::custstmt
