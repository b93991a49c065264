#include "modules/custview/ui/AgingChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include <algorithm>

namespace vm::custview {

AgingChart::AgingChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 220);
}

QString AgingChart::title() const {
    return chart() ? chart()->title() : QString();
}

void AgingChart::setData(const QString& title, const std::array<QString, 5>& labels,
                         const std::array<double, 5>& values) {
    auto* c = new QChart;
    c->setTitle(title);
    QFont f = c->titleFont();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    c->setTitleFont(f);
    auto* set = new QBarSet(title);
    set->setColor(QColor(70, 110, 170));
    double low = 0, high = 0;
    for (double v : values) {
        *set << v;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    auto* series = new QBarSeries;
    series->append(set);
    c->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    for (const auto& l : labels)
        axisX->append(l);
    c->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    axisY->setRange(low, high > low ? high : low + 1);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    c->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    c->legend()->hide();
    QChart* old = chart();
    setChart(c);
    // The view gives up its previous chart without deleting it.
    if (old && old != c) delete old;
}

} // namespace vm::custview
