#include "report/PageRenderer.h"

#include "report/ReportDocument.h"
#include "report/TextUtil.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace vm::report {

namespace {

QFont qfont(const ItemFont& f) {
    QFont q(QString::fromStdString(f.family));
    q.setPointSizeF(f.size > 0 ? f.size : 9.0);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    return q;
}

Qt::Alignment qalign(Alignment a) {
    switch (a) {
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

} // namespace

void PageRenderer::paint(const ReportDocument& doc, int index, QPainter& painter, double dpiX, double dpiY) {
    if (index < 0 || index >= static_cast<int>(doc.pages.size())) return;
    paint(doc.pages[static_cast<std::size_t>(index)], painter, dpiX, dpiY);
}

void PageRenderer::paint(const DocumentPage& page, QPainter& painter, double dpiX, double dpiY) {
    const double sx = dpiX / 72.0, sy = dpiY / 72.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const auto& it : page.items) {
        QRectF r(it.x * sx, it.y * sy, it.width * sx, it.height * sy);
        switch (it.shape) {
        case PlacedItem::Shape::Line:
        case PlacedItem::Shape::Box: {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(0.1, it.lineWidth) * sx);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            if (it.shape == PlacedItem::Shape::Line)
                painter.drawLine(r.topLeft(), r.bottomRight());
            else
                painter.drawRect(r);
            break;
        }
        case PlacedItem::Shape::Image: {
            QImage img(QString::fromStdString(it.text));
            if (img.isNull()) break;               // a missing picture prints nothing
            if (r.width() <= 0 || r.height() <= 0) // its own size, taken at 96 dpi
                r.setSize(QSizeF(img.width() * dpiX / 96.0, img.height() * dpiY / 96.0));
            painter.drawImage(r, img);
            break;
        }
        case PlacedItem::Shape::Text: {
            if (it.text.empty()) break;
            painter.setFont(qfont(it.font));
            painter.setPen(Qt::black);
            const double lineH = it.font.lineHeight() * sy;
            const int flags =
                static_cast<int>(qalign(it.align)) | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine;
            auto lines = splitLines(it.text);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                QRectF lr(r.left(), r.top() + static_cast<double>(i) * lineH, r.width(), lineH);
                painter.drawText(lr, flags, QString::fromStdString(lines[i]));
            }
            break;
        }
        }
    }
    painter.restore();
}

QImage PageRenderer::image(const ReportDocument& doc, int index, double zoom, double screenDpi) {
    static const DocumentPage blank;
    const bool in = index >= 0 && index < static_cast<int>(doc.pages.size());
    return image(doc.page, in ? doc.pages[static_cast<std::size_t>(index)] : blank, zoom, screenDpi);
}

QImage PageRenderer::image(const PageSetup& setup, const DocumentPage& page, double zoom, double screenDpi) {
    const double dpi = screenDpi * (zoom > 0 ? zoom : 1.0);
    const int w = static_cast<int>(std::ceil(setup.width() * dpi / 72.0));
    const int h = static_cast<int>(std::ceil(setup.height() * dpi / 72.0));
    QImage img(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
    const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter painter(&img);
    paint(page, painter, dpi, dpi);
    painter.end();
    return img;
}

} // namespace vm::report
