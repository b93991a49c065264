#include "shell/TPasswordDlg.h"

#include "common/forms/MessageList.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

namespace vm::shell {

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Password Dialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(32, 32));
    label_ = new QLabel(QStringLiteral("Enter password:"), this);
    label_->setObjectName(QStringLiteral("Label1"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(10);
    password_->setMinimumWidth(220);
    label_->setBuddy(password_);
    // Passwords are stored in upper case; the field shows what will be
    // looked up.
    connect(password_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int pos = password_->cursorPosition();
            password_->setText(upper);
            password_->setCursorPosition(pos);
        }
    });
    companyCaption_ = new QLabel(QStringLiteral("Company:"), this);
    companyCaption_->setObjectName(QStringLiteral("LabelCompany"));
    companyName_ = new QLabel(this);
    companyName_->setObjectName(QStringLiteral("CompanyName"));
    companyName_->setWordWrap(true);
    companyName_->setMaximumWidth(320);
    QFont bold = companyName_->font();
    bold.setBold(true);
    companyName_->setFont(bold);
    companyCaption_->hide();
    companyName_->hide();

    messages_ = new forms::MessageList(this);
    messages_->setLines({QStringLiteral("Incorrect password")});
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &TPasswordDlg::helpRequested);

    standardDesktop_ = new QCheckBox(QStringLiteral("Use Standard Desktop"), this);
    standardDesktop_->setObjectName(QStringLiteral("CheckBox1"));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OKBtn"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    auto* company = new QHBoxLayout;
    company->setSpacing(6);
    company->addWidget(companyCaption_);
    company->addWidget(companyName_, 1);
    grid->addLayout(company, 0, 1);
    grid->addWidget(icon, 1, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(label_, 1, 1);
    grid->addWidget(password_, 2, 1);
    grid->addWidget(standardDesktop_, 3, 1);
    grid->addLayout(buttons, 4, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TPasswordDlg::setCompanyName(const QString& name) {
    companyName_->setText(name);
    companyCaption_->setVisible(!name.isEmpty());
    companyName_->setVisible(!name.isEmpty());
}

void TPasswordDlg::accept() {
    if (check_ && !check_(password_->text())) {
        QMessageBox::warning(this, windowTitle(), messages_->message(0));
        password_->clear();
        password_->setFocus();
        return;
    }
    QDialog::accept();
}

QString TPasswordDlg::password() const {
    return password_->text();
}
bool TPasswordDlg::useStandardDesktop() const {
    return standardDesktop_->isChecked();
}
void TPasswordDlg::clearPassword() {
    password_->clear();
}

void TPasswordDlg::showEvent(QShowEvent* event) {
    password_->clear();
    password_->setFocus();
    QDialog::showEvent(event);
}

} // namespace vm::shell
