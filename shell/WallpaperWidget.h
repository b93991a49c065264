#pragma once
#include <QPixmap>
#include <QWidget>

namespace vm::shell {

// The desktop's background: the wallpaper picture tiled from the top-left
// corner and clipped at the edges, or a plain gradient when there is none.
class WallpaperWidget : public QWidget {
    Q_OBJECT
public:
    explicit WallpaperWidget(QWidget* parent = nullptr);
    // False, and the picture unchanged, when the file is missing or not a
    // picture.
    bool load(const QString& file);
    bool hasPicture() const { return !picture_.isNull(); }
    // The file of the picture shown; empty for the designed wallpaper.
    const QString& pictureFile() const { return file_; }
    void setPictureFile(const QString& file) { file_ = file; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QString file_;
};

} // namespace vm::shell
