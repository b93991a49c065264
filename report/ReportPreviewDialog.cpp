#include "report/ReportPreviewDialog.h"

#include "common/forms/FormTranslation.h"
#include "common/forms/KeyHint.h"
#include "common/forms/MaintenanceWindow.h"
#include "common/forms/MessageList.h"
#include "report/PageRenderer.h"
#include "report/ReportPrinter.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>

namespace vm::report {

namespace {
constexpr double kScreenDpi = 96.0;
const double kZooms[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};

// Lines of the window's message list (MainMenu, ReportPreviewDialog.IntlStrings1).
enum Text { kTextTitle, kTextFitWidth, kTextWholePage, kTextPageOf, kTextPageOfMore, kTextZoom };
const char* const kDesigned[] = {"Preview",       "Fit to width",   "Whole page",
                                 "Page %1 of %2", "Page %1 of %2+", "Zoom keys:"};
} // namespace

ReportPreviewDialog::ReportPreviewDialog(StreamFactory pages, int printerIndex, int language, QWidget* parent)
    : QDialog(parent), factory_(std::move(pages)), printerIndex_(printerIndex), language_(language) {
    build();
}

ReportPreviewDialog::ReportPreviewDialog(ReportDocument doc, int printerIndex, int language, QWidget* parent)
    : QDialog(parent), printerIndex_(printerIndex), language_(language) {
    auto held = std::make_shared<const ReportDocument>(std::move(doc));
    total_ = static_cast<int>(held->pages.size());
    factory_ = [held] { return std::make_unique<PageStream>(ReportDocument(*held)); };
    build();
}

ReportPreviewDialog::~ReportPreviewDialog() = default;

void ReportPreviewDialog::build() {
    setObjectName(QStringLiteral("ReportPreviewDialog"));
    // The designed (English) texts; the shared language table replaces them.
    auto button = [this](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setToolTip(QString::fromLatin1(hint));
        return b;
    };
    first_ = button("BtnFirst", "First", "First page");
    prior_ = button("BtnPrior", "Prior", "Prior page");
    next_ = button("BtnNext", "Next", "Next page");
    last_ = button("BtnLast", "Last", "Last page");
    print_ = button("BtnPrint", "Print", "Print the report");
    auto* close = button("BtnClose", "Close", "Close the preview");
    texts_ = new forms::MessageList(this);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("LabelPage"));
    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName(QStringLiteral("ComboZoom"));
    try {
        forms::translateForm(*this, "MainMenu", language_ == 1 ? "en" : "fr");
    } catch (const std::exception&) {
        // no language table here: the designed texts stand
    }
    forms::assignAccessKeys(*this);
    // The keys, named in the tool tips as Qt writes them in the session's language.
    forms::showKeyInToolTip(*first_, QKeySequence(Qt::Key_Home));
    forms::showKeyInToolTip(*prior_, QKeySequence(Qt::Key_PageUp));
    forms::showKeyInToolTip(*next_, QKeySequence(Qt::Key_PageDown));
    forms::showKeyInToolTip(*last_, QKeySequence(Qt::Key_End));
    forms::showKeyInToolTip(*print_, QKeySequence(Qt::CTRL | Qt::Key_P));
    forms::showKeyInToolTip(*close, QKeySequence(Qt::Key_Escape));
    QStringList zoomKeys;
    for (QKeyCombination k : {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Minus, Qt::CTRL | Qt::Key_0,
                              Qt::CTRL | Qt::Key_1, Qt::CTRL | Qt::Key_2})
        zoomKeys << QKeySequence(k).toString(QKeySequence::NativeText);
    zoomBox_->setToolTip(QStringLiteral("%1 %2").arg(text(kTextZoom), zoomKeys.join(QStringLiteral(", "))));
    zoomBox_->addItem(text(kTextFitWidth), kFitWidth);
    zoomBox_->addItem(text(kTextWholePage), kFitPage);
    for (double z : kZooms)
        zoomBox_->addItem(QStringLiteral("%1 %").arg(qRound(z * 100)), z);

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("LabelPageImage"));
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollPages"));
    scroll_->setWidget(image_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);

    auto* bar = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(first_), static_cast<QWidget*>(prior_), static_cast<QWidget*>(pageLabel_),
          static_cast<QWidget*>(next_), static_cast<QWidget*>(last_), static_cast<QWidget*>(zoomBox_)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(print_);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);

    connect(first_, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(prior_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(last_, &QPushButton::clicked, this, [this] { showPage(INT_MAX); });
    connect(print_, &QPushButton::clicked, this, &ReportPreviewDialog::printReport);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(zoomBox_, &QComboBox::activated, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });

    auto key = [this](QKeySequence seq, auto fn) {
        auto* s = new QShortcut(seq, this);
        connect(s, &QShortcut::activated, this, fn);
    };
    key(QKeySequence(Qt::Key_PageDown), [this] { showPage(page_ + 1); });
    key(QKeySequence(Qt::Key_PageUp), [this] { showPage(page_ - 1); });
    for (auto mod : {Qt::KeyboardModifier::NoModifier, Qt::KeyboardModifier::ControlModifier}) {
        key(QKeySequence(mod | Qt::Key_Home), [this] { showPage(0); });
        key(QKeySequence(mod | Qt::Key_End), [this] { showPage(INT_MAX); });
    }
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { stepZoom(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { stepZoom(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { stepZoom(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(kFitPage); });
    key(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { setZoom(1.0); });
    key(QKeySequence(Qt::CTRL | Qt::Key_2), [this] { setZoom(kFitWidth); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { printReport(); });

    // Within the screen: a page at fit-to-width on a 1366 x 768 screen.
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
    const int w = std::min(1000, avail.width() - 40);
    const int h = std::min(1100, avail.height() - 80); // room for the title bar
    resize(std::max(400, w), std::max(300, h));
    move(avail.center() - QPoint(width() / 2, (height() + 30) / 2));

    try {
        reader_ = factory_();
        const DocumentInfo& info = reader_->info();
        setup_ = info.page;
        title_ = info.title;
        ensurePage(0);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
        total_ = 0;
    }
    setWindowTitle(title_.empty() ? text(kTextTitle) : QString::fromStdString(title_));
    if (total_ < 0) { // count the pages while the user reads
        countTimer_ = new QTimer(this);
        connect(countTimer_, &QTimer::timeout, this, &ReportPreviewDialog::countSome);
        countTimer_->start(0);
    }
    setZoom(kFitWidth);
}

bool ReportPreviewDialog::ensurePage(int index) {
    if (cache_.count(index)) return true;
    if (total_ >= 0 && index >= total_) return false;
    const bool toEnd = index == INT_MAX;
    if (!reader_ || reader_->pagesDone() > index) reader_ = factory_(); // let go of: start again
    const bool far = index - reader_->pagesDone() > 10;
    if (far) QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DocumentPage page;
        while (reader_->pagesDone() <= index) {
            const int at = reader_->pagesDone();
            if (!reader_->next(page)) {
                total_ = at;
                break;
            }
            if (at == 0 || at + kCachedPages > index || toEnd) {
                cache_[at] = std::move(page);
                trimCache();
            }
        }
    } catch (const std::exception& e) {
        if (far) QApplication::restoreOverrideCursor();
        total_ = reader_->pagesDone();
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
        return cache_.count(index) > 0;
    }
    if (far) QApplication::restoreOverrideCursor();
    if (total_ >= 0 && countTimer_) {
        countTimer_->stop();
        counter_.reset();
    }
    return cache_.count(index) > 0;
}

// Keeps the first page and those nearest the one shown (or the newest, when
// running to the last page).
void ReportPreviewDialog::trimCache() {
    while (static_cast<int>(cache_.size()) > kCachedPages) {
        auto victim = cache_.end();
        int worst = -1;
        const int anchor = reader_ ? reader_->pagesDone() : page_;
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (it->first == 0) continue;
            const int d = std::min(std::abs(it->first - page_), std::abs(it->first - anchor));
            if (d > worst) {
                worst = d;
                victim = it;
            }
        }
        if (victim == cache_.end()) break;
        cache_.erase(victim);
    }
}

void ReportPreviewDialog::countSome() {
    try {
        if (!counter_) {
            counter_ = factory_();
            counter_->countOnly();
        }
        QElapsedTimer clock;
        clock.start();
        DocumentPage blank;
        while (clock.elapsed() < 40)
            if (!counter_->next(blank)) {
                total_ = counter_->pagesDone();
                break;
            }
    } catch (const std::exception&) {
        total_ = -1; // the reader reports the error when it meets it
        countTimer_->stop();
        counter_.reset();
        return;
    }
    if (total_ >= 0) {
        countTimer_->stop();
        counter_.reset();
        refresh();
    } else {
        const int known = std::max(counter_->pagesDone(), reader_ ? reader_->pagesDone() : 0);
        pageLabel_->setText(text(kTextPageOfMore).arg(page_ + 1).arg(known));
    }
}

QString ReportPreviewDialog::text(int i) const {
    const QString t = texts_->message(i);
    return t.isEmpty() ? QString::fromLatin1(kDesigned[i]) : t;
}

void ReportPreviewDialog::finishCounting() {
    while (countTimer_ && countTimer_->isActive())
        countSome();
}

void ReportPreviewDialog::showPage(int index) {
    if (total_ == 0) return;
    index = std::max(0, index);
    if (index != INT_MAX && total_ >= 0) index = std::min(index, total_ - 1);
    if (!ensurePage(index)) {
        if (total_ <= 0) return;
        index = total_ - 1; // past the end: the last page
        if (!ensurePage(index)) return;
    }
    if (index == INT_MAX) index = total_ - 1;
    page_ = index;
    trimCache();
    refresh();
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreviewDialog::setZoom(double zoom) {
    zoomMode_ = zoom < 0 ? zoom : std::clamp(zoom, 0.25, 4.0);
    int i = zoomBox_->findData(zoomMode_);
    if (i >= 0) zoomBox_->setCurrentIndex(i);
    refresh();
}

void ReportPreviewDialog::stepZoom(int direction) {
    double z = scale_;
    if (direction > 0) {
        for (double s : kZooms)
            if (s > scale_ + 1e-3) {
                z = s;
                break;
            }
    } else {
        for (auto it = std::rbegin(kZooms); it != std::rend(kZooms); ++it)
            if (*it < scale_ - 1e-3) {
                z = *it;
                break;
            }
    }
    setZoom(z);
}

void ReportPreviewDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (zoomMode_ < 0) refresh();
}

void ReportPreviewDialog::refresh() {
    const int n = total_;
    if (n >= 0)
        pageLabel_->setText(text(kTextPageOf).arg(n ? page_ + 1 : 0).arg(n));
    else
        pageLabel_->setText(text(kTextPageOfMore).arg(page_ + 1).arg(reader_ ? reader_->pagesDone() : 1));
    first_->setEnabled(page_ > 0);
    prior_->setEnabled(page_ > 0);
    next_->setEnabled(n < 0 || page_ + 1 < n);
    last_->setEnabled(n < 0 || page_ + 1 < n);
    print_->setEnabled(n != 0);

    const double pageW = setup_.width() / 72.0 * kScreenDpi;
    const double pageH = setup_.height() / 72.0 * kScreenDpi;
    // The viewport without its scroll bars: the width they will take once the page shows.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize view = scroll_->maximumViewportSize() - QSize(bar, 0);
    if (zoomMode_ == kFitWidth)
        scale_ = std::max(0.1, (view.width() - 16) / pageW);
    else if (zoomMode_ == kFitPage)
        scale_ = std::max(0.1, std::min((view.width() - 16) / pageW, (view.height() - 16) / pageH));
    else
        scale_ = zoomMode_;
    auto it = cache_.find(page_);
    if (it != cache_.end()) {
        image_->setPixmap(QPixmap::fromImage(PageRenderer::image(setup_, it->second, scale_, kScreenDpi)));
        image_->adjustSize();
    }
}

void ReportPreviewDialog::printReport() {
    if (total_ == 0) return;
    print_->setEnabled(false);
    try {
        std::unique_ptr<PageStream> pages = factory_();
        ReportPrinter::printAndTell(*pages, printerIndex_, showSetup_, language_, this, pdfDir_);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
    }
    print_->setEnabled(true);
}

} // namespace vm::report
