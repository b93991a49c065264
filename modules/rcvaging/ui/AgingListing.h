#pragma once
#include "modules/rcvaging/core/AgingTypes.h"
#include "report/ReportDocument.h"

#include <array>
#include <functional>
#include <string>

namespace vm {
class Database;
}

namespace vm::aging {

// Everything that decides an aging listing besides the company's tables.
struct AgingListingSetup {
    AgingOptions options; // a blank report date means options.today
    bool detailed = true;
    bool printAddress = false; // receivables, detailed only
    bool printComments = false;
    std::string companyName, userName;
    int language = 1;
    std::string langCode = "en";
    DateTime printedAt;
    // Short names of ledger types "1" to "5" (the window's message list).
    std::array<std::string, 5> typeNames;
    // Called every few hundred rows laid out (rows so far), for a progress line.
    std::function<void(long long rows)> progress;
};

// Lays out the aging listing: what the aging window prints, previews and
// exports, and what the batch command writes, from one place. Report captions
// come from the module's language table (rcvaging or payaging followed by
// langCode) when it can be read. Reads only.
report::ReportDocument layOutAgingListing(Database& company, const AgingListingSetup& setup);

// The short type names of the window's message list, read from its language
// table; blank when the table cannot be read.
std::array<std::string, 5> agingTypeNames(Ledger ledger, const std::string& langCode);

} // namespace vm::aging
