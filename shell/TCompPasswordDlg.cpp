#include "shell/TCompPasswordDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vm::shell {

TCompPasswordDlg::TCompPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CompPasswordDlg"));
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("Enter password:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(10);
    password_->setMinimumWidth(220);
    label->setBuddy(password_);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->addWidget(label, 0, 0);
    grid->addWidget(password_, 1, 0);
    grid->addLayout(buttons, 2, 0);
    setFixedSize(sizeHint());
}

QString TCompPasswordDlg::password() const {
    return password_->text();
}

void TCompPasswordDlg::showEvent(QShowEvent* event) {
    password_->clear();
    password_->setFocus();
    QDialog::showEvent(event);
}

} // namespace vm::shell
