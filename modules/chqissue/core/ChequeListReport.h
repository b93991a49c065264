#pragma once
#include "engine/Date.h"
#include "report/Report.h"
#include "report/ReportDocument.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vm {
class Database;
}

namespace vm::chqissue {

// What the printed list needs besides the entries.
struct ChequeReportSetup {
    std::string companyName, userName;
    Date dueBy;                       // printed after the due-up-to caption
    std::string currencySymbol = "$"; // of the chosen bank's currency
    bool symbolBefore = true;         // regional CurrAlign
    int language = 1;
    std::string dateMask = "dd/mm/yyyy";
    DateTime printedAt; // the date printed in the heading; blank: now
    // Caption of a label by component name (the module's language table,
    // form kFormName); nothing keeps the built-in caption.
    std::function<std::optional<std::string>(const std::string& component)> caption;
};

// "List of cheques to be issued": every cheque entry (apchqh, key order)
// with its payee, date, amount and amount in words, its invoice lines
// (apchqd) and their totals; at the end the total of the cheques and their
// number. Letter portrait; amounts in "$###,###,##0.00" with the currency's
// symbol.
class ChequeListReport {
public:
    static constexpr const char* kFormName = "Tchqissue_qrfrm";

    static std::unique_ptr<report::Report> build(const ChequeReportSetup& setup);
    // Lays the report out over the company's entries as they stand.
    static report::ReportDocument layOut(Database& companyDb, const ChequeReportSetup& setup);
};

} // namespace vm::chqissue
