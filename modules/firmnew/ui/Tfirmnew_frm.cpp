#include "modules/firmnew/ui/Tfirmnew_frm.h"

#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"
#include "engine/EngineError.h"
#include "schema/Schema.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vm::firmnew {

namespace {
constexpr int kHelpContext = 101;
} // namespace

Tfirmnew_frm::Tfirmnew_frm(std::string dataDir, QWidget* parent)
    : QDialog(parent), dataDir_(std::move(dataDir)) {
    setObjectName(QStringLiteral("Tfirmnew_frm"));
    setWindowTitle(QStringLiteral("New company"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    messages_ = new forms::MessageList(this, QStringLiteral("IntlStrings1"));
    messages_->setLines({QStringLiteral("Please enter the name of the company."),
                         QStringLiteral("The company could not be created:")});

    auto* intro = new QLabel(QStringLiteral("No company exists yet in this data directory. "
                                            "Enter the name of your company to create it."),
                             this);
    intro->setObjectName(QStringLiteral("LabelIntro"));
    intro->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("Company name:"), this);
    label->setObjectName(QStringLiteral("LabelName"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("EditName"));
    name_->setMaxLength(60);
    name_->setMinimumWidth(300);
    label->setBuddy(name_);

    auto* ok = new QPushButton(QStringLiteral("Create"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(ok, &QPushButton::clicked, this, &Tfirmnew_frm::create);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(label, name_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(18, 18, 18, 14);
    box->addWidget(intro);
    box->addSpacing(6);
    box->addLayout(form);
    box->addSpacing(6);
    box->addLayout(buttons);
}

QString Tfirmnew_frm::companyName() const {
    return name_->text().trimmed();
}

void Tfirmnew_frm::create() {
    const QString name = companyName();
    if (name.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), messages_->message(0));
        name_->setFocus();
        return;
    }
    try {
        schema::createCompany(dataDir_, 1, name.toStdString(),
                              language_ == 2 ? schema::Language::French : schema::Language::English);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, windowTitle(),
                              messages_->message(1) + QLatin1Char('\n') + QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void Tfirmnew_frm::setHelp(const QString& helpPath, int language) {
    helpPath_ = helpPath;
    language_ = language;
}

void Tfirmnew_frm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && !helpPath_.isEmpty()) {
        forms::openHelp(helpPath_, kHelpContext, language_, this);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vm::firmnew
