#include "shell/WallpaperWidget.h"

#include <QLinearGradient>
#include <QPainter>

namespace vm::shell {

WallpaperWidget::WallpaperWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Wallpaper"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool WallpaperWidget::load(const QString& file) {
    QPixmap p;
    if (!p.load(file)) return false;
    picture_ = p;
    file_ = file;
    update();
    return true;
}

void WallpaperWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(0x2f, 0x55, 0x7a));
        g.setColorAt(1, QColor(0x16, 0x2b, 0x42));
        painter.fillRect(rect(), g);
        return;
    }
    painter.drawTiledPixmap(rect(), picture_);
}

} // namespace vm::shell
