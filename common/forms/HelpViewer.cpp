#include "common/forms/HelpViewer.h"

#include "common/forms/FormTranslation.h"
#include "common/forms/MessageList.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vm::forms {

HelpViewer::HelpViewer(const QString& helpDir, const QString& langCode, QWidget* parent)
    : QDialog(parent), helpDir_(helpDir) {
    setObjectName(QStringLiteral("THelpViewer"));
    setWindowTitle(QStringLiteral("Valmorand Help"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    messages_ = new MessageList(this);
    messages_->setLines({QStringLiteral("Help topic %1 is not installed.")});

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("Browser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({helpDir});

    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    contents_ = button("BtnContents", QStringLiteral("&Contents"));
    back_ = button("BtnBack", QStringLiteral("&Back"));
    forward_ = button("BtnForward", QStringLiteral("&Forward"));
    close_ = button("BtnClose", QStringLiteral("Close"));
    connect(contents_, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(browser_, &QTextBrowser::historyChanged, this, &HelpViewer::updateButtons);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser_->documentTitle();
        setWindowTitle(page.isEmpty() ? designedTitle_ : designedTitle_ + QStringLiteral(" – ") + page);
    });
    // The usual browser keys: Alt+Left / Alt+Right, Alt+Home for the contents.
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, browser_,
            &QTextBrowser::backward);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, browser_,
            &QTextBrowser::forward);
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Home), this), &QShortcut::activated, this,
            &HelpViewer::showContents);

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents_);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addStretch(1);
    bar->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    try {
        translateForm(*this, "MainMenu", langCode.toStdString());
    } catch (const std::exception&) {
        // No table for this language: the designed texts stay.
    }
    designedTitle_ = windowTitle();
    resize(720, 560);
    updateButtons();
}

QString HelpViewer::message(int line) const {
    return messages_->message(line);
}

QString HelpViewer::topicFile(const QString& helpDir, const QString& fileName) {
    const QDir dir(helpDir);
    if (QFileInfo::exists(dir.filePath(fileName))) return dir.filePath(fileName);
    const QString english = QDir::cleanPath(dir.filePath(QStringLiteral("../en/") + fileName));
    if (QFileInfo::exists(english)) return english;
    return {};
}

bool HelpViewer::showTopic(int context) {
    return showFile(QString::number(context) + QStringLiteral(".html"));
}

bool HelpViewer::showContents() {
    return showFile(QStringLiteral("index.html"));
}

bool HelpViewer::showFile(const QString& fileName) {
    const QString file = topicFile(helpDir_, fileName);
    if (file.isEmpty()) return false;
    browser_->setSource(QUrl::fromLocalFile(file));
    return true;
}

void HelpViewer::updateButtons() {
    back_->setEnabled(browser_->isBackwardAvailable());
    forward_->setEnabled(browser_->isForwardAvailable());
}

} // namespace vm::forms
