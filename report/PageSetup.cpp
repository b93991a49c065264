#include "report/PageSetup.h"

namespace vm::report {

PageSetup PageSetup::customInches(double widthIn, double heightIn) {
    PageSetup p;
    p.paper = Paper::Custom;
    if (widthIn > heightIn) {
        p.orientation = Orientation::Landscape;
        p.customWidth = inches(heightIn);
        p.customHeight = inches(widthIn);
    } else {
        p.customWidth = inches(widthIn);
        p.customHeight = inches(heightIn);
    }
    return p;
}

double PageSetup::portraitWidth() const {
    switch (paper) {
    case Paper::Letter:
        return 612.0;
    case Paper::Legal:
        return 612.0;
    case Paper::A4:
        return 595.276;
    case Paper::Custom:
        break;
    }
    return customWidth;
}

double PageSetup::portraitHeight() const {
    switch (paper) {
    case Paper::Letter:
        return 792.0;
    case Paper::Legal:
        return 1008.0;
    case Paper::A4:
        return 841.890;
    case Paper::Custom:
        break;
    }
    return customHeight;
}

double PageSetup::width() const {
    return orientation == Orientation::Portrait ? portraitWidth() : portraitHeight();
}

double PageSetup::height() const {
    return orientation == Orientation::Portrait ? portraitHeight() : portraitWidth();
}

} // namespace vm::report
