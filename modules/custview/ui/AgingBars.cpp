#include "modules/custview/ui/AgingBars.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vm::custview {

AgingBars::AgingBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setMinimumSize(320, 200);
}

void AgingBars::setData(const QString& title, const std::array<QString, 5>& labels,
                        const std::array<double, 5>& values) {
    title_ = title;
    labels_ = labels;
    values_ = values;
    update();
}

void AgingBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = p.fontMetrics();
    const int titleH = fm.height() * 2;
    const int labelH = fm.height() + 6;
    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(0, 0, width(), titleH), Qt::AlignCenter, title_);
    p.setFont(font());
    // Negative totals (credits) hang below the axis.
    double top = 0, bottom = 0;
    for (double v : values_) {
        top = std::max(top, v);
        bottom = std::min(bottom, v);
    }
    const double span = top - bottom > 0 ? top - bottom : 1;
    const int plotTop = titleH, plotBottom = height() - labelH - 4;
    const int plotH = std::max(1, plotBottom - plotTop);
    const int axisY = plotTop + static_cast<int>(std::lround(top / span * plotH));
    const int slot = width() / 5;
    p.setPen(palette().text().color());
    p.drawLine(0, axisY, width(), axisY);
    for (int i = 0; i < 5; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int h = static_cast<int>(std::lround(std::abs(values_[k]) / span * plotH));
        const QRect bar(i * slot + slot / 5, values_[k] >= 0 ? axisY - h : axisY, slot * 3 / 5, h);
        p.fillRect(bar, QColor(70, 110, 170));
        p.drawText(QRect(i * slot, plotBottom + 4, slot, labelH), Qt::AlignCenter, labels_[k]);
    }
}

} // namespace vm::custview
