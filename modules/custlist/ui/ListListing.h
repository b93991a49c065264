#pragma once
#include "modules/custlist/core/ListSelection.h"
#include "report/ReportDocument.h"

#include <functional>
#include <string>

namespace vm {
class Database;
}

namespace vm::lists {

// Everything that decides a printed list besides the company's tables.
struct ListListingSetup {
    ListOptions options;
    std::string companyName, userName;
    int language = 1;
    std::string langCode = "en";
    bool international = false; // the regional setting intl
    DateTime printedAt;         // now, when not set
    // Called every few hundred rows laid out (rows so far).
    std::function<void(long long rows)> progress;
};

// Lays out the chosen list: what the list windows print, preview and export
// and what the batch commands write, from one place. Captions come from the
// module's language table (custlist or vendlist followed by langCode) when it
// can be read. Reads only.
report::ReportDocument layOutList(Database& company, const ListListingSetup& setup);

} // namespace vm::lists
