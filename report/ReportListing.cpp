#include "report/ReportListing.h"

#include "report/ReportDocument.h"

#include <cstdio>

namespace vm::report {

namespace {

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v + 0.0); // + 0.0 turns -0 into 0
    return buf;
}

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c != '\r')
            out += c;
    }
    return out;
}

} // namespace

std::string ReportListing::text(const ReportDocument& doc) {
    std::string out;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        for (const auto& it : doc.pages[p].items) {
            out += std::to_string(p + 1);
            out += '|';
            out += bandKindName(it.band);
            if (it.groupLevel >= 0) out += std::to_string(it.groupLevel);
            out += '|' + it.name + '|' + num(it.x) + '|' + num(it.y) + '|' + num(it.width) + '|' +
                   num(it.height) + '|';
            out += it.align == Alignment::Right ? 'R' : it.align == Alignment::Center ? 'C' : 'L';
            out += '|' + num(it.font.size);
            if (it.font.bold) out += 'B';
            if (it.font.italic) out += 'I';
            if (it.font.underline) out += 'U';
            out += '|';
            switch (it.shape) {
            case PlacedItem::Shape::Text:
                out += escaped(it.text);
                break;
            case PlacedItem::Shape::Line:
                out += "[line]";
                break;
            case PlacedItem::Shape::Box:
                out += "[box]";
                break;
            case PlacedItem::Shape::Image:
                out += "[image " + escaped(it.text) + "]";
                break;
            }
            out += '\n';
        }
    }
    return out;
}

} // namespace vm::report
