#pragma once
#include <string>

namespace vm::report {

struct ReportDocument;

// The list of everything a laid-out report draws, one line per item:
//   page|band|name|x|y|width|height|align|font|text
// with positions in points to two decimals, the band as its kind and group
// level ("groupHeader0"), the font as its size and B/I/U flags, and the text
// with line breaks written as "\n" (shapes as "[line]", "[box]",
// "[image <path>]"). It depends only on the model, never on font metrics,
// so that tests can compare it with reference files.
class ReportListing {
public:
    static std::string text(const ReportDocument& doc);
};

} // namespace vm::report
