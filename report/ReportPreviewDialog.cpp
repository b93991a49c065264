#include "report/ReportPreviewDialog.h"

#include "report/PageRenderer.h"
#include "report/ReportPrinter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vm::report {

ReportPreviewDialog::ReportPreviewDialog(ReportDocument doc, int printerIndex, int language, QWidget* parent)
    : QDialog(parent), doc_(std::move(doc)), printerIndex_(printerIndex), language_(language) {
    const bool en = language == 1;
    setObjectName(QStringLiteral("ReportPreviewDialog"));
    setWindowTitle(QString::fromStdString(doc_.title.empty() ? (en ? "Preview" : "Aperçu") : doc_.title));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    first_ = button("BtnFirst", en ? tr("First") : QStringLiteral("Première"));
    prior_ = button("BtnPrior", en ? tr("Prior") : QStringLiteral("Précédente"));
    next_ = button("BtnNext", en ? tr("Next") : QStringLiteral("Suivante"));
    last_ = button("BtnLast", en ? tr("Last") : QStringLiteral("Dernière"));
    print_ = button("BtnPrint", en ? tr("Print") : QStringLiteral("Imprimer"));
    auto* close = button("BtnClose", en ? tr("Close") : QStringLiteral("Fermer"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("LabelPage"));
    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName(QStringLiteral("ComboZoom"));
    for (int z : {50, 75, 100, 125, 150, 200})
        zoomBox_->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
    zoomBox_->setCurrentIndex(2);

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("LabelPageImage"));
    image_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollPages"));
    scroll_->setWidget(image_);
    scroll_->setWidgetResizable(true);
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
    connect(last_, &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(print_, &QPushButton::clicked, this, &ReportPreviewDialog::printReport);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });

    resize(900, 1000);
    refresh();
}

void ReportPreviewDialog::showPage(int index) {
    if (pageCount() == 0) return;
    page_ = std::clamp(index, 0, pageCount() - 1);
    refresh();
}

void ReportPreviewDialog::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, 0.25, 4.0);
    refresh();
}

void ReportPreviewDialog::refresh() {
    const bool en = language_ == 1;
    int n = pageCount();
    pageLabel_->setText(en ? tr("Page %1 of %2").arg(n ? page_ + 1 : 0).arg(n)
                           : QStringLiteral("Page %1 de %2").arg(n ? page_ + 1 : 0).arg(n));
    first_->setEnabled(page_ > 0);
    prior_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < n);
    last_->setEnabled(page_ + 1 < n);
    print_->setEnabled(n > 0);
    if (n) image_->setPixmap(QPixmap::fromImage(PageRenderer::image(doc_, page_, zoom_)));
}

void ReportPreviewDialog::printReport() {
    print_->setEnabled(false);
    ReportPrinter::printAndTell(doc_, printerIndex_, showSetup_, language_, this, pdfDir_);
    print_->setEnabled(true);
}

} // namespace vm::report
