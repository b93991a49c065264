#pragma once
#include <QPixmap>
#include <QWidget>

namespace vm::shell {

// The desktop's background: the wallpaper picture scaled to cover the
// window, or a plain gradient when there is none.
class WallpaperWidget : public QWidget {
    Q_OBJECT
public:
    explicit WallpaperWidget(QWidget* parent = nullptr);
    // False when the file is missing or not a picture.
    bool load(const QString& file);
    bool hasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace vm::shell
