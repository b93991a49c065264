// Paints the desktop wallpaper: vm-wallpaper <file.jpg>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) return 2;
    QImage image(1600, 1000, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0.0, QColor(0x2c, 0x5f, 0x8e));
    sky.setColorAt(1.0, QColor(0x10, 0x25, 0x3a));
    p.fillRect(image.rect(), sky);

    QRadialGradient glow(QPointF(image.width() * 0.3, image.height() * 0.25), image.width() * 0.7);
    glow.setColorAt(0.0, QColor(255, 255, 255, 46));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    // Soft ledger lines across the lower part.
    p.setPen(QPen(QColor(255, 255, 255, 14), 2));
    for (int y = 560; y < image.height(); y += 36)
        p.drawLine(0, y, image.width(), y);

    QFont title(QStringLiteral("DejaVu Sans"), 110, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 40));
    p.drawText(image.rect().adjusted(0, 0, -70, -60), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("Valmorand"));
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "JPG", 85) ? 0 : 1;
}
