#include "shell/DesktopFrame.h"

#include "common/forms/CursorTableModel.h"
#include "engine/Cursor.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QTextEdit>

#include <algorithm>

namespace vm::shell {
namespace {

constexpr int kButtonTop = 4, kButtonSide = 18, kBodyTop = 30;

QToolButton* frameButton(QWidget* parent, const char* name, const QString& glyph) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(glyph);
    b->setFixedSize(kButtonSide, kButtonSide);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// The accounts list names an account's type rather than showing its letter.
class AccountListModel : public forms::CursorTableModel {
public:
    AccountListModel(Cursor& c, std::vector<forms::GridColumn> columns, int typeColumn, int language,
                     QObject* parent)
        : CursorTableModel(c, std::move(columns), parent), typeColumn_(typeColumn), language_(language) {}
    QVariant data(const QModelIndex& index, int role) const override {
        const QVariant v = CursorTableModel::data(index, role);
        if (role != Qt::DisplayRole || index.column() != typeColumn_) return v;
        return QString::fromStdString(accountTypeText(v.toString().toStdString(), language_));
    }

private:
    int typeColumn_;
    int language_;
};

} // namespace

// --- DesktopFrame -------------------------------------------------------

DesktopFrame::DesktopFrame(int panel, const QString& name, const QString& title, QWidget* desktop)
    : QFrame(desktop), panel_(panel) {
    setObjectName(name);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    title_ = new QLabel(title, this);
    title_->setObjectName(name + QStringLiteral("Title"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    reduce_ = frameButton(this, "", QStringLiteral("-"));
    enlarge_ = frameButton(this, "", QStringLiteral("+"));
    close_ = frameButton(this, "", QStringLiteral("X"));
    reduce_->setObjectName(name + QStringLiteral("Reduce"));
    enlarge_->setObjectName(name + QStringLiteral("Enlarge"));
    close_->setObjectName(name + QStringLiteral("Close"));
    connect(reduce_, &QToolButton::clicked, this, [this] {
        reduceFrame();
        emit changed();
    });
    connect(enlarge_, &QToolButton::clicked, this, [this] {
        enlargeFrame();
        emit changed();
    });
    connect(close_, &QToolButton::clicked, this, &DesktopFrame::closeClicked);
    hide();
}

Rect DesktopFrame::place() const {
    return {x(), y(), width(), height()};
}

void DesktopFrame::setPlace(const Rect& r) {
    setGeometry(r.left, r.top, r.width, r.height);
    placeChildren();
}

void DesktopFrame::setBody(QWidget* body) {
    body_ = body;
    body_->installEventFilter(this);
    placeChildren();
}

void DesktopFrame::placeChildren() {
    const int w = width();
    close_->move(w - DesktopGeometry::kCloseOffset, kButtonTop);
    enlarge_->move(w - DesktopGeometry::kEnlargeOffset, kButtonTop);
    reduce_->move(w - DesktopGeometry::kReduceOffset, kButtonTop);
    title_->setGeometry(8, kButtonTop, std::max(0, w - DesktopGeometry::kReduceOffset - 12), kButtonSide);
    if (body_)
        body_->setGeometry(4, kBodyTop, std::max(0, w - 8),
                           std::max(0, height() - DesktopGeometry::kGridMargin));
}

void DesktopFrame::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeChildren();
}

void DesktopFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // The title band, in the colours of a selected row.
    QPainter p(this);
    QColor band = palette().color(QPalette::Highlight);
    band.setAlpha(isActiveWindow() ? 60 : 45);
    p.fillRect(QRect(2, 2, width() - 4, kBodyTop - 4), band);
}

void DesktopFrame::dragTo(int left, int top) {
    const QWidget* desk = parentWidget();
    const Rect to = DesktopGeometry::dragTo(place(), left, top, desk->width(), desk->height());
    if (to.left == x() && to.top == y()) return;
    move(to.left, to.top);
    emit changed();
}

void DesktopFrame::mousePressEvent(QMouseEvent* event) {
    raise();
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        grab_ = event->position().toPoint();
    }
    QFrame::mousePressEvent(event);
}

void DesktopFrame::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        const QPoint at = mapToParent(event->position().toPoint()) - grab_;
        dragTo(at.x(), at.y());
    }
    QFrame::mouseMoveEvent(event);
}

void DesktopFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}

bool DesktopFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == body_ && (event->type() == QEvent::Enter || event->type() == QEvent::FocusIn)) raise();
    return QFrame::eventFilter(watched, event);
}

// --- ListFrame ----------------------------------------------------------

ListFrame::ListFrame(int list, const QString& name, const QString& title, std::string table,
                     std::vector<Column> columns, QWidget* desktop)
    : DesktopFrame(list, name, title, desktop), table_(std::move(table)), columns_(std::move(columns)) {
    grid_ = new QTableView(this);
    grid_->setObjectName(name.left(name.size() - 5) + QStringLiteral("Grid")); // "ClientFrame" → "ClientGrid"
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setAlternatingRowColors(true);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->installEventFilter(this);
    setBody(grid_);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section >= 0 && static_cast<std::size_t>(section) < widths_.size())
                    widths_[static_cast<std::size_t>(section)] = size;
                emit changed();
            });
}

ListFrame::~ListFrame() {
    close();
}

void ListFrame::open(Database& company) {
    close();
    cursor_ = std::make_unique<Cursor>(company, table_, true);
    std::vector<forms::GridColumn> columns;
    for (const Column& c : columns_)
        columns.push_back({c.field, c.title});
    if (panel() == AccountList)
        model_ = new AccountListModel(*cursor_, std::move(columns), 2, language_, this);
    else
        model_ = new forms::CursorTableModel(*cursor_, std::move(columns), this);
    // The grid owns the cursor's reading: no position to give back.
    model_->setRestorePosition(false);
    grid_->setModel(model_);
    readFirstRows();
    if (widths_.empty()) {
        // Until the user sizes them, columns fit their titles and first rows.
        const QSignalBlocker quiet(grid_->horizontalHeader());
        grid_->resizeColumnsToContents();
    }
    applyWidths();
}

void ListFrame::readFirstRows() {
    // The first batch at once; the grid asks for more as it scrolls.
    if (model_->canFetchMore({})) model_->fetchMore({});
}

void ListFrame::close() {
    if (!model_) return;
    widths_ = columnWidths();
    grid_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
    cursor_.reset();
}

void ListFrame::refresh() {
    if (!model_) return;
    model_->reload();
    applyWidths();
    readFirstRows();
}

void ListFrame::setTitles(const QStringList& titles) {
    for (int i = 0; i < titles.size() && i < static_cast<int>(columns_.size()); ++i) {
        columns_[static_cast<std::size_t>(i)].title = titles[i];
        if (model_) model_->setHeaderData(i, Qt::Horizontal, titles[i], Qt::DisplayRole);
    }
}

void ListFrame::setLanguage(int language) {
    if (language_ == language) return;
    language_ = language;
    if (!model_ || !cursor_) return;
    // The accounts list names its types anew.
    Database& db = cursor_->database();
    widths_ = columnWidths();
    open(db);
}

std::vector<int> ListFrame::columnWidths() const {
    if (!model_) return widths_;
    std::vector<int> out;
    for (int i = 0; i < model_->columnCount(); ++i)
        out.push_back(grid_->horizontalHeader()->sectionSize(i));
    return out;
}

void ListFrame::setColumnWidths(const std::vector<int>& widths) {
    widths_ = widths;
    applyWidths();
}

void ListFrame::applyWidths() {
    if (!model_) return;
    const QSignalBlocker quiet(grid_->horizontalHeader());
    for (std::size_t i = 0; i < widths_.size() && i < columns_.size(); ++i)
        grid_->setColumnWidth(static_cast<int>(i), widths_[i]);
    if (widths_.size() != columns_.size()) widths_ = columnWidths();
}

bool ListFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
        emit insertPressed();
        return true;
    }
    return DesktopFrame::eventFilter(watched, event);
}

// --- NoteFrame ----------------------------------------------------------

NoteFrame::NoteFrame(const QString& title, QWidget* desktop)
    : DesktopFrame(ToDoNote, QStringLiteral("ToDoFrame"), title, desktop) {
    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("ToDoText"));
    text_->setAcceptRichText(true);
    text_->setTabChangesFocus(false);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setContextMenuPolicy(Qt::CustomContextMenu);
    setBody(text_);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("ToDoPopup"));
    QAction* enlarge = popup_->addAction(QStringLiteral("Enlarge"));
    enlarge->setObjectName(QStringLiteral("ToDoEnlarge"));
    QAction* reduce = popup_->addAction(QStringLiteral("Reduce"));
    reduce->setObjectName(QStringLiteral("ToDoReduce"));
    popup_->addSeparator();
    QAction* print = popup_->addAction(QStringLiteral("Print list"));
    print->setObjectName(QStringLiteral("ToDoPrint"));
    connect(enlarge, &QAction::triggered, this, [this] {
        setPlace(DesktopGeometry::enlargeNote(place()));
        emit changed();
    });
    connect(reduce, &QAction::triggered, this, [this] {
        setPlace(DesktopGeometry::reduceNote(place()));
        emit changed();
    });
    connect(print, &QAction::triggered, this, &NoteFrame::printList);
    connect(text_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(text_->viewport()->mapToGlobal(at)); });
    connect(text_, &QTextEdit::textChanged, this, &DesktopFrame::changed);
}

void NoteFrame::printList() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) text_->document()->print(&printer);
}

} // namespace vm::shell
