#pragma once

namespace vm::report {

// Paper, orientation and margins of a report. All measures are in points
// (1/72 inch); width() and height() already account for the orientation.
struct PageSetup {
    enum class Paper { Letter, Legal, A4, Custom };
    enum class Orientation { Portrait, Landscape };

    Paper paper = Paper::Letter;
    Orientation orientation = Orientation::Portrait;
    // Portrait size of a Custom paper.
    double customWidth = 612.0;
    double customHeight = 792.0;
    double marginLeft = 36.0;
    double marginTop = 36.0;
    double marginRight = 36.0;
    double marginBottom = 36.0;

    static constexpr double kPointsPerInch = 72.0;
    static constexpr double inches(double in) { return in * kPointsPerInch; }

    // A custom paper given in inches as it lies on the page; a width greater
    // than the height makes it landscape (statement layouts give it so).
    static PageSetup customInches(double widthIn, double heightIn);

    double width() const;
    double height() const;
    double portraitWidth() const;
    double portraitHeight() const;
    double contentWidth() const { return width() - marginLeft - marginRight; }
    void setMargins(double all) { marginLeft = marginTop = marginRight = marginBottom = all; }
};

} // namespace vm::report
