#pragma once
#include "modules/custlist/core/ListSelection.h"
#include "report/Report.h"

#include <memory>
#include <string>

namespace vm::lists {

// What a printed list needs besides its rows.
struct ListReportSetup {
    Master master = Master::Clients;
    bool detailed = true;
    std::string companyName, userName;
    int language = 1;
    bool international = false; // the regional setting intl: numbered tax titles
    std::string yes = "Yes", no = "No";
    std::string dateMask = "dd/mm/yyyy";
};

// Lays out the four lists, Letter portrait: the detailed lists one block per
// client or supplier with stacked columns, the summary lists one line each.
// Every label carries a component name so that the module's language table
// can re-caption it: the detailed list is the form T<code>_qrfrm, the
// summary T<code>_qrfrm2 (code custlist or vendlist).
class ListReport {
public:
    static std::unique_ptr<report::Report> build(const ListReportSetup& setup);
    static std::string formName(const ListReportSetup& setup);
    // Numbered tax titles of the international terminology, applied after
    // the language table (which would otherwise put the provincial and
    // federal captions back).
    static void applyInternationalTaxTitles(report::Report& report, int language);
};

} // namespace vm::lists
