#pragma once
#include "modules/rcvaging/core/AgingTypes.h"
#include "report/Report.h"

#include <array>
#include <memory>
#include <string>

namespace vm::aging {

// What the printed aging needs besides its rows.
struct AgingReportSetup {
    Ledger ledger = Ledger::Receivables;
    bool detailed = true;
    bool printAddress = false; // receivables, detailed only
    bool printComments = false;
    std::string companyName, userName;
    Date reportDate;
    std::array<std::string, 5> bucketNames;
    std::string amountSign; // printed before amounts; may be empty
    int language = 1;
    std::string dateMask = "dd/mm/yyyy";
};

// Lays out the detailed listing (a band per transaction, grouped by account
// with its total, and the " TOTAL " band) or the summary listing (a line per
// account and the total), Letter landscape. Every label carries a component
// name so that the module's language table can re-caption it: the detailed
// report is the form T<code>_qrfrm, the summary T<code>_qrfrm2.
class AgingReport {
public:
    static std::unique_ptr<report::Report> build(const AgingReportSetup& setup);
    // The form name of the report's language rows.
    static std::string formName(const AgingReportSetup& setup);
    static std::string amountMask(const std::string& sign);
};

} // namespace vm::aging
