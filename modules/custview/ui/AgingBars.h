#pragma once
#include <QString>
#include <QWidget>

#include <array>

namespace vm::custview {

// The graph page's chart: five labelled bars under a title.
class AgingBars : public QWidget {
    Q_OBJECT
public:
    explicit AgingBars(QWidget* parent = nullptr);
    void setData(const QString& title, const std::array<QString, 5>& labels,
                 const std::array<double, 5>& values);
    QSize sizeHint() const override { return {480, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    std::array<QString, 5> labels_;
    std::array<double, 5> values_{};
};

} // namespace vm::custview
