#include "common/forms/LockWaitBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vm::forms {

TLockWaitBox::TLockWaitBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TLockWaitBox"));
    setWindowTitle(QStringLiteral("Record locked"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);

    auto* text = new QLabel(QStringLiteral("Waiting for a record locked by another workstation…"), this);
    text->setObjectName(QStringLiteral("LabelWait"));
    text->setWordWrap(true);
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0); // turning while the wait lasts
    busy->setTextVisible(false);
    busy->setMaximumHeight(12);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(16, 14, 16, 14);
    root->addWidget(text);
    root->addWidget(busy);
    root->addLayout(buttons);
    setMinimumWidth(360);

    connect(cancel, &QPushButton::clicked, this, &TLockWaitBox::reject);
}

void TLockWaitBox::reject() {
    cancelled_ = true;
    hide();
}

} // namespace vm::forms
