#include "components/donebox/DoneBox.h"

#include "components/common/FormTexts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vm::components {

DoneBox::DoneBox(bool english, const std::string& langCode, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TDoneBox"));
    setWindowTitle(english ? QStringLiteral("Finished") : QStringLiteral("Terminé"));
    setModal(true);

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(size, size));
    auto* label = new QLabel(english ? QStringLiteral("The procedure is finished.")
                                     : QStringLiteral("La procédure est terminée."),
                             this);
    label->setObjectName(QStringLiteral("LabelMessage"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });

    auto* message = new QHBoxLayout;
    message->setSpacing(16);
    message->addWidget(icon, 0, Qt::AlignTop);
    message->addWidget(label, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(16);
    layout->addLayout(message);
    layout->addLayout(buttons);

    translateForm(*this, langCode);
    setMinimumWidth(300);
    setFixedSize(sizeHint().expandedTo(minimumSize()));
}

} // namespace vm::components
