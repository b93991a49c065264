#pragma once
#include <string>

namespace vm::report {

// The font of a report item. Sizes are in points; the family falls back to
// whatever the system substitutes when it is not installed.
struct ItemFont {
    std::string family = "DejaVu Sans";
    double size = 9.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    // Height of one text line, fixed from the size rather than measured, so
    // that layouts and listings do not depend on the installed font files.
    double lineHeight() const { return size * 1.2; }
    bool operator==(const ItemFont&) const = default;
};

} // namespace vm::report
