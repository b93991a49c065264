#pragma once
#include "modules/custview/core/DocumentChoice.h"
#include "modules/custview/core/Documents.h"
#include "report/PageStream.h"
#include "report/Report.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vm::custview {

// Everything the printed documents need besides the document.
struct DocumentSetup {
    int language = 1;           // 1 English, 2 French
    bool international = false; // "Tax 1" / "Tax 2" instead of the Canadian tax names
    std::string companyName;
    std::string title; // the report's title (and the preview's caption)
    std::string dateMask = "dd/mm/yyyy";
    // Names of ledger types "1", "4", "5", "3", "2" (the window's message list).
    std::array<std::string, 5> typeNames;
    std::string yes = "Yes", no = "No";
    DateTime printedAt;
    // The language table's caption of a report label (form, component), or
    // nothing: the built-in English text stays.
    std::function<std::optional<std::string>(const std::string& form, const std::string& name)> caption;
};

// The form names of the reports' rows in the module's language table.
inline constexpr const char* kInvoiceForm = "Tcustview_qrinvoice";
inline constexpr const char* kSalesEntryForm = "Tcustview_qrsales";
inline constexpr const char* kReceiptForm = "Tcustview_qrreceipt";

// The invoice (current or archived): the page header with when and by whom
// it was entered and the column titles, the invoice band with the client,
// salesman and ship-to address, a band per line (a comment line prints only
// its text), and the footer with the sums, total sales and cost, the
// invoice's margin and markup, and each named payment method. Landscape.
std::unique_ptr<report::Report> buildInvoiceReport(const InvoiceDocument& doc, const DocumentSetup& setup);
// The sales entry record: its fields, the client's address and the
// distribution lines that name an account.
std::unique_ptr<report::Report> buildSalesEntryReport(const SalesEntryDocument& doc,
                                                      const DocumentSetup& setup);
// The cash-receipt entry: its fields, the distribution, the invoices paid.
std::unique_ptr<report::Report> buildReceiptReport(const ReceiptDocument& doc, const DocumentSetup& setup);

// The document a drill-down chose, read now and printed as often as asked
// (each call of the factory lays it out afresh). Nothing when the choice is
// None or its rows have gone since. `dataRoot` gives an invoice its terms.
std::optional<report::StreamFactory> documentStream(Database& company, Database* dataRoot,
                                                    const DocumentChoice& choice, const DocumentSetup& setup);

} // namespace vm::custview
