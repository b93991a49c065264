#include "shell/TContactForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vm::shell {

TContactForm::TContactForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ContactForm"));
    setWindowTitle(QStringLiteral("Contact us"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* heading = new QLabel(QStringLiteral("Tarnwell Software"), this);
    heading->setObjectName(QStringLiteral("Heading"));
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    heading->setFont(f);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("Memo1"));
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    text->viewport()->setAutoFillBackground(false);
    text->setPlainText(QStringLiteral("Sales and support: support@tarnwell.example\n"
                                      "Telephone: 1 800 555-0199\n"
                                      "Monday to Friday, 9:00 to 17:00 (Eastern time)\n"
                                      "Please have your customer number at hand."));
    text->setMinimumSize(380, 90);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(20, 18, 20, 14);
    box->addWidget(heading);
    box->addWidget(text);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    box->addLayout(buttons);
}

} // namespace vm::shell
