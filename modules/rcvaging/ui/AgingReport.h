#pragma once
#include "modules/rcvaging/core/AgingTypes.h"
#include "report/Report.h"

#include <array>
#include <map>
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
    // All currencies without conversion: the report total is one line per
    // currency, from these sums (filled by the data source as it reads),
    // each amount with its currency's sign (signs[0]: the company currency).
    std::shared_ptr<const std::map<int, std::array<Money, 6>>> sumsByCurrency;
    std::array<std::string, 5> currencySigns;
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
