#include "shell/DesktopIcon.h"

#include "shell/core/DesktopLayout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::shell {
namespace {

constexpr int kPictureSide = 48;

// The designed pictures: a tile in a list's colour with its sign, or a
// plain tile for an option's shortcut.
QPixmap designedPicture(const QString& name) {
    struct Look {
        QColor colour;
        QString sign;
    };
    static const Look looks[] = {{QColor(0x2e, 0x7d, 0x32), QStringLiteral("C")},
                                 {QColor(0xc6, 0x62, 0x1f), QStringLiteral("S")},
                                 {QColor(0x28, 0x5f, 0x9e), QStringLiteral("#")},
                                 {QColor(0x7b, 0x3f, 0x98), QStringLiteral("E")},
                                 {QColor(0xd4, 0xa0, 0x17), QStringLiteral("\u2713")}};
    const auto panel = panelOfIcon(name.toStdString());
    const Look look = panel ? looks[*panel] : Look{QColor(0x45, 0x5a, 0x64), name.left(1).toUpper()};
    QPixmap p(kPictureSide, kPictureSide);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(255, 255, 255, 200), 2));
    g.setBrush(look.colour);
    g.drawRoundedRect(QRectF(2, 2, kPictureSide - 4, kPictureSide - 4), 9, 9);
    QFont f(QStringLiteral("DejaVu Sans"), 18, QFont::Bold);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(p.rect(), Qt::AlignCenter, look.sign);
    return p;
}

} // namespace

// --- DesktopIcon --------------------------------------------------------

DesktopIcon::DesktopIcon(const QString& name, const QString& caption, QWidget* desktop)
    : QToolButton(desktop) {
    setObjectName(name);
    setText(caption);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(kPictureSide, kPictureSide));
    setFont(QFont(QStringLiteral("Arial"), 10));
    setContextMenuPolicy(Qt::CustomContextMenu);
    setIcon(designedPicture(name));
}

bool DesktopIcon::setPicture(const QString& file) {
    if (file.isEmpty()) {
        pictureFile_.clear();
        setIcon(designedPicture(objectName()));
        return true;
    }
    QPixmap p;
    if (!p.load(file)) return false;
    pictureFile_ = file;
    setIcon(p);
    return true;
}

void DesktopIcon::paintEvent(QPaintEvent*) {
    // The picture at the top, the caption below it on up to three lines, in
    // white with a shadow so that it reads on any wallpaper.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (underMouse() || isDown()) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, isDown() ? 70 : 40));
        p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 6, 6);
    }
    const QSize side = iconSize();
    const QPixmap picture = icon().pixmap(side);
    p.drawPixmap((width() - side.width()) / 2, 4, picture);
    // A long word takes a smaller font rather than being cut.
    QFont f = font();
    const int boxWidth = width() - 4;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        while (f.pointSize() > 7 && QFontMetrics(f).horizontalAdvance(word) > boxWidth)
            f.setPointSize(f.pointSize() - 1);
    p.setFont(f);
    const QFontMetrics fm(f);
    // As many whole lines as the button has room for, the last one elided
    // when the caption is longer.
    const int top = 8 + side.height();
    const int room = std::max(1, (height() - top) / fm.height());
    QTextLayout layout(text(), f);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(boxWidth);
        if (lines.size() == room - 1) {
            lines << fm.elidedText(text().mid(line.textStart()), Qt::ElideRight, boxWidth);
            break;
        }
        lines << text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    for (int i = 0; i < lines.size(); ++i) {
        const QRect row(2, top + i * fm.height(), boxWidth, fm.height());
        p.setPen(QColor(0, 0, 0, 160));
        p.drawText(row.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, lines[i]);
        p.setPen(Qt::white);
        p.drawText(row, Qt::AlignHCenter | Qt::AlignTop, lines[i]);
    }
}

QPixmap DesktopIcon::pixmap() const {
    return icon().pixmap(iconSize());
}

void DesktopIcon::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit activated();
}

void DesktopIcon::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        dragged_ = false;
        grab_ = event->position().toPoint();
    }
    QToolButton::mousePressEvent(event);
}

void DesktopIcon::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (dragged_ || (event->position().toPoint() - grab_).manhattanLength() >=
                                     QApplication::startDragDistance())) {
        dragged_ = true;
        const QPoint at = mapToParent(event->position().toPoint()) - grab_;
        const QWidget* desk = parentWidget();
        const Rect to = DesktopGeometry::dragTo({x(), y(), width(), height()}, at.x(), at.y(), desk->width(),
                                                desk->height());
        move(to.left, to.top);
        return;
    }
    QToolButton::mouseMoveEvent(event);
}

void DesktopIcon::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = false;
        if (dragged_) {
            dragged_ = false;
            setDown(false);
            emit moved();
            return;
        }
    }
    QToolButton::mouseReleaseEvent(event);
}

// --- TShortcutDlg -------------------------------------------------------

TShortcutDlg::TShortcutDlg(const QStringList& captions, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ShortcutDlg"));
    setWindowTitle(QStringLiteral("Create Shortcut"));
    auto* label = new QLabel(QStringLiteral("Choose the option for the Shortcut"), this);
    label->setObjectName(QStringLiteral("LabelChoose"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("OptionList"));
    list_->addItems(captions);
    if (!captions.isEmpty()) list_->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(460, 420);
}

int TShortcutDlg::chosen() const {
    return list_->currentRow();
}

// --- TIconPropertiesDlg -------------------------------------------------

TIconPropertiesDlg::TIconPropertiesDlg(const DesktopIcon& icon, const QString& optionCode,
                                       const QString& pictureDir, const QString& filters, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PropertiesDlg"));
    setWindowTitle(QStringLiteral("Properties"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("IconPicture"));
    picture_->setFixedSize(64, 64);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setFrameShape(QFrame::StyledPanel);
    picture_->setPixmap(icon.pixmap());
    auto* change = new QPushButton(QStringLiteral("Change icon"), this);
    change->setObjectName(QStringLiteral("ChangeIconBtn"));
    auto* captionLabel = new QLabel(QStringLiteral("Caption"), this);
    captionLabel->setObjectName(QStringLiteral("LabelCaption"));
    caption_ = new QLineEdit(icon.text(), this);
    caption_->setObjectName(QStringLiteral("EditCaption"));
    captionLabel->setBuddy(caption_);
    auto* optionLabel = new QLabel(QStringLiteral("Option"), this);
    optionLabel->setObjectName(QStringLiteral("LabelOption"));
    auto* option = new QLabel(optionCode, this);
    option->setObjectName(QStringLiteral("OptionCode"));
    option->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(change, &QPushButton::clicked, this, [this, pictureDir, filters] {
        const QString file = QFileDialog::getOpenFileName(this, windowTitle(), pictureDir, filters);
        if (!file.isEmpty()) choosePicture(file);
    });

    auto* grid = new QGridLayout;
    grid->addWidget(picture_, 0, 0, 2, 1);
    grid->addWidget(change, 2, 0);
    grid->addWidget(captionLabel, 0, 1);
    grid->addWidget(caption_, 0, 2);
    grid->addWidget(optionLabel, 1, 1);
    grid->addWidget(option, 1, 2);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(420, 190);
}

QString TIconPropertiesDlg::caption() const {
    return caption_->text();
}

void TIconPropertiesDlg::choosePicture(const QString& file) {
    newPicture_ = file;
    QPixmap p;
    if (p.load(file)) picture_->setPixmap(p.scaled(picture_->size() - QSize(4, 4), Qt::KeepAspectRatio));
}

} // namespace vm::shell
