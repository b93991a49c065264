#pragma once
#include <QChartView>
#include <QString>

#include <array>

namespace vm::custview {

// The graph page's chart: the five aging buckets as labelled bars.
class AgingChart : public QChartView {
    Q_OBJECT
public:
    explicit AgingChart(QWidget* parent = nullptr);
    void setData(const QString& title, const std::array<QString, 5>& labels,
                 const std::array<double, 5>& values);
    QString title() const;
};

} // namespace vm::custview
