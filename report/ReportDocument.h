#pragma once
#include "report/ItemFont.h"
#include "report/PageSetup.h"
#include "report/ReportBand.h"

#include <string>
#include <vector>

namespace vm::report {

// One thing drawn on a page, in points from the paper's top-left corner.
struct PlacedItem {
    enum class Shape { Text, Line, Box, Image };
    Shape shape = Shape::Text;
    BandKind band = BandKind::Detail;
    int groupLevel = -1; // group bands only
    std::string name;    // the item's component name
    double x = 0, y = 0, width = 0, height = 0;
    Alignment align = Alignment::Left;
    ItemFont font;
    std::string text; // lines separated by '\n'; the picture path of an image
    double lineWidth = 0.5;
    int bandInstance = 0; // serial number of the band printing that placed it
    double bandTop = 0;
    bool repeated = false; // a group header printed again on a following page
};

// One line of the CSV export: a printed band that holds exported items.
struct ExportLine {
    BandKind band = BandKind::Detail;
    std::vector<std::string> cells; // one per CSV column
};

struct DocumentPage {
    std::vector<PlacedItem> items;
    // The CSV lines of the bands printed on this page (pages handed out one
    // at a time by a PageStream; ReportDocument gathers them in exportLines).
    std::vector<ExportLine> exportLines;
};

// What every output needs to know of a report besides its pages.
struct DocumentInfo {
    std::string title;
    PageSetup page;
    std::vector<std::string> csvColumns;
    double textLineHeight = 10.8; // the default font's line: the row grid of the text export
};

// A report laid out on pages: what every output (painter, listing, CSV,
// text) works from, so that they all show the same thing and the data
// source is read only once.
//
// The whole document is held in memory: for small reports and the tests.
// Large reports go page by page through a PageStream instead.
struct ReportDocument : DocumentInfo {
    std::vector<DocumentPage> pages;
    std::vector<ExportLine> exportLines;
};

} // namespace vm::report
