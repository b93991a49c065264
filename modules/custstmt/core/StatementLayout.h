#pragma once
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::custstmt {

enum class LayoutBand { Header, Detail, Footer, None };

// One printed item of a statement layout. Positions in inches.
struct LayoutItem {
    int index = 0;
    int fieldNumber = 0; // 1..35 a data field; 0 a fixed text or the logo
    bool logo = false;
    bool invalidField = false; // a field number outside 1..35: prints nothing
    std::string text;          // the fixed text
    LayoutBand band = LayoutBand::None;
    double line = 0, pos = 0;
    // From the font row of the same index.
    int size = 0; // 0 = the report's default
    bool bold = false, underline = false;
    double widthInches = 0; // 0 = sized automatically
    std::string fontName;
};

// A statement layout: the printed one (arecfrm*) or the mailed one (Earecfrm*).
struct StatementLayout {
    double pageLength = 11, pageWidth = 8.5;
    double headerLength = 0, detailLength = 0, footerLength = 0;
    std::vector<LayoutItem> items;
    bool hasPage = false; // the page row exists
    bool empty() const { return items.empty(); }
};

// Reads the layout tables of the company; `email` the mailed twin.
StatementLayout readStatementLayout(Database& company, bool email);
// The band a layout row's band text names (by its first letter).
LayoutBand bandOf(const std::string& bandText);
// The picture named by the logo list (first comma-separated item of
// arecfrmI.dat in the company's folder, core::localFilesDir), resolved
// against that folder; empty when the list is missing or unreadable.
std::string logoPath(const std::string& companyDir);

// The name of data field `n` (1..35), as layouts and reports know it; empty
// outside that range.
const char* dataFieldName(int n);
// Items 20 to 32 (amounts) are right-aligned.
bool rightAligned(int n);

} // namespace vm::custstmt
