#include "shell/TAboutBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vm::shell {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* product = new QLabel(QStringLiteral("Valmorand"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    product->setFont(big);
    auto* line = new QLabel(QStringLiteral("Accounting for small businesses"), this);
    line->setObjectName(QStringLiteral("Comments"));
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("Version"));
    auto* copyright = new QLabel(QStringLiteral("Copyright © Tarnwell Software"), this);
    copyright->setObjectName(QStringLiteral("Copyright"));
    auto* dataLabel = new QLabel(QStringLiteral("Data directory (click to open):"), this);
    dataLabel->setObjectName(QStringLiteral("DataDirLabel"));
    dataDir_ = new QLabel(this);
    dataDir_->setObjectName(QStringLiteral("DataDir"));
    dataDir_->setTextFormat(Qt::RichText);
    dataDir_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(dataDir_, &QLabel::linkActivated, this,
            [this](const QString&) { QDesktopServices::openUrl(QUrl::fromLocalFile(dir_)); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(24, 20, 24, 16);
    box->addWidget(product);
    box->addWidget(line);
    box->addWidget(version_);
    box->addWidget(copyright);
    box->addSpacing(12);
    box->addWidget(dataLabel);
    box->addWidget(dataDir_);
    box->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    box->addLayout(buttons);
    setMinimumWidth(420);
}

void TAboutBox::setDataDirectory(const QString& dir) {
    dir_ = dir;
    dataDir_->setText(
        QStringLiteral("<a href=\"open\">%1</a>").arg(QDir::toNativeSeparators(dir).toHtmlEscaped()));
}

void TAboutBox::setVersion(const QString& version) {
    version_->setText(QStringLiteral("Version ") + version);
}

} // namespace vm::shell
