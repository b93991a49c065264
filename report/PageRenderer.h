#pragma once
#include <QImage>

class QPainter;

namespace vm::report {

struct DocumentPage;
struct PageSetup;
struct ReportDocument;

// Paints laid-out pages with QPainter, on any device: a PDF writer, a
// printer, an image. Text is drawn unclipped, so a value wider than its item
// spills over instead of being cut; right-aligned items keep their right edge.
class PageRenderer {
public:
    // Paints page `index` (from 0) with the painter's origin at the paper's
    // top-left corner, on a device of dpiX x dpiY dots per inch.
    static void paint(const ReportDocument& doc, int index, QPainter& painter, double dpiX, double dpiY);
    // The page as an image on white, at `zoom` times its size on a screen of
    // screenDpi dots per inch.
    static QImage image(const ReportDocument& doc, int index, double zoom = 1.0, double screenDpi = 96.0);
    // The same for one page handed out by a PageStream.
    static void paint(const DocumentPage& page, QPainter& painter, double dpiX, double dpiY);
    static QImage image(const PageSetup& setup, const DocumentPage& page, double zoom = 1.0,
                        double screenDpi = 96.0);
};

} // namespace vm::report
