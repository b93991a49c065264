#pragma once
#include "shell/core/DesktopLayout.h"

#include <QFrame>
#include <QStringList>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QTableView;
class QTextEdit;

namespace vm {
class Cursor;
class Database;
} // namespace vm
namespace vm::forms {
class CursorTableModel;
}

namespace vm::shell {

// A movable window inside the desktop: a title, three small buttons at its
// top right (reduce, enlarge, "X" close) and a body below. Pressing the left
// button on the frame (outside its body and buttons) drags it; the frame
// stays inside the desktop. A click brings it to the front.
class DesktopFrame : public QFrame {
    Q_OBJECT
public:
    DesktopFrame(int panel, const QString& name, const QString& title, QWidget* desktop);

    int panel() const { return panel_; }
    Rect place() const;
    void setPlace(const Rect& r);
    QToolButton* reduceButton() const { return reduce_; }
    QToolButton* enlargeButton() const { return enlarge_; }
    QToolButton* closeButton() const { return close_; }

    void enlargeFrame() { setPlace(DesktopGeometry::enlarge(place())); }
    void reduceFrame() { setPlace(DesktopGeometry::reduce(place())); }
    // Moves as a drag to (left, top) would.
    void dragTo(int left, int top);

signals:
    void closeClicked();
    void changed();

protected:
    void setBody(QWidget* body);
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeChildren();

    int panel_;
    QLabel* title_;
    QToolButton* reduce_;
    QToolButton* enlarge_;
    QToolButton* close_;
    QWidget* body_ = nullptr;
    bool dragging_ = false;
    QPoint grab_; // where the frame was taken, in its own coordinates
};

// One of the four lists: a read-only grid that selects whole rows, over a
// cursor opened only while the list is shown and read a batch at a time as
// the grid scrolls.
class ListFrame : public DesktopFrame {
    Q_OBJECT
public:
    struct Column {
        std::string field;
        QString title;
    };
    ListFrame(int list, const QString& name, const QString& title, std::string table,
              std::vector<Column> columns, QWidget* desktop);
    ~ListFrame() override;

    QTableView* grid() const { return grid_; }
    bool isOpen() const { return cursor_ != nullptr; }
    // Opens the table in the company's database (throws the engine's error).
    void open(Database& company);
    void close();
    // Reads the table again from its first row.
    void refresh();

    void setTitles(const QStringList& titles);
    void setLanguage(int language);
    std::vector<int> columnWidths() const;
    void setColumnWidths(const std::vector<int>& widths);

signals:
    void insertPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyWidths();
    void readFirstRows();

    std::string table_;
    std::vector<Column> columns_;
    std::vector<int> widths_;
    int language_ = 1;
    QTableView* grid_;
    std::unique_ptr<Cursor> cursor_;
    forms::CursorTableModel* model_ = nullptr;
};

// The to-do note: a rich-text area with its pop-up menu.
class NoteFrame : public DesktopFrame {
    Q_OBJECT
public:
    NoteFrame(const QString& title, QWidget* desktop);
    QTextEdit* text() const { return text_; }
    QMenu* popup() const { return popup_; }

private:
    void printList();

    QTextEdit* text_;
    QMenu* popup_;
};

} // namespace vm::shell
