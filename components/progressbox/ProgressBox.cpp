#include "components/progressbox/ProgressBox.h"

#include "common/forms/MessageList.h"
#include "components/common/FormTexts.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace vm::components {

namespace {
// The shell takes three steps between opening and closing the box.
constexpr int kExpectedSteps = 3;
} // namespace

ProgressBox::ProgressBox(bool english, const std::string& langCode, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("TProgressBox"));
    setWindowTitle(QStringLiteral("Valmorand"));
    captions_ = new forms::MessageList(this, QStringLiteral("LabelCaption"));
    captions_->setLines(
        english ? QStringList{QStringLiteral("Loading, please wait..."),
                              QStringLiteral("Opening the company, please wait...")}
                : QStringList{QStringLiteral("Chargement en cours, veuillez patienter..."),
                              QStringLiteral("Ouverture de la compagnie, veuillez patienter...")});
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("LabelText"));
    label_->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, kExpectedSteps);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(label_);
    layout->addWidget(bar_);

    translateForm(*this, langCode);
    setCaptionNumber(0);
    setFixedSize(380, 110);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool ProgressBox::setCaptionNumber(int number) {
    if (number < 0 || number > 1) return false;
    label_->setText(captions_->message(number));
    repaintNow();
    return true;
}

void ProgressBox::step() {
    if (bar_->value() >= bar_->maximum()) bar_->setMaximum(bar_->maximum() + 1);
    bar_->setValue(bar_->value() + 1);
    repaintNow();
}

int ProgressBox::value() const {
    return bar_->value();
}

QString ProgressBox::captionText() const {
    return label_->text();
}

void ProgressBox::repaintNow() {
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace vm::components
