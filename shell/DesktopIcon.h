#pragma once
#include <QDialog>
#include <QToolButton>

class QLabel;
class QLineEdit;
class QListWidget;

namespace vm::shell {

// A shortcut on the desktop: a transparent button with a picture and a
// caption, placed freely (the user drags it). Its name is the option code
// followed by "S", or the name of a list's or the note's icon. A double
// click activates it.
class DesktopIcon : public QToolButton {
    Q_OBJECT
public:
    DesktopIcon(const QString& name, const QString& caption, QWidget* desktop);

    // The picture file ("" for the designed picture). False, and the picture
    // unchanged, when the file cannot be loaded.
    bool setPicture(const QString& file);
    const QString& pictureFile() const { return pictureFile_; }
    QPixmap pixmap() const;

signals:
    void activated();
    void moved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString pictureFile_;
    bool pressed_ = false;
    bool dragged_ = false;
    QPoint grab_;
};

// "Create Shortcut": the options of the catalogue, the first selected.
class TShortcutDlg : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutDlg(const QStringList& captions, QWidget* parent = nullptr);
    int chosen() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

// "Properties" of an icon: its picture, caption and option code, and
// "Change icon".
class TIconPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    TIconPropertiesDlg(const DesktopIcon& icon, const QString& optionCode, const QString& pictureDir,
                       const QString& filters, QWidget* parent = nullptr);
    QString caption() const;
    // The picture chosen with "Change icon"; empty when none was.
    const QString& newPicture() const { return newPicture_; }
    void choosePicture(const QString& file);

private:
    QLabel* picture_;
    QLineEdit* caption_;
    QString newPicture_;
};

} // namespace vm::shell
