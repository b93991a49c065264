#include "common/forms/HelpLauncher.h"

#include "common/forms/HelpViewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QUrl>

namespace vm::forms {

namespace {

// The viewer's language: the help folder is named by it ("en", "fr").
QString helpLanguage(const QString& helpPath, int language) {
    if (language == 1) return QStringLiteral("en");
    const QString name = QDir(helpPath).dirName();
    return name.size() == 2 ? name : QStringLiteral("fr");
}

// context < 0: the contents page.
bool openPage(const QString& helpPath, int context, int language, QWidget* parent) {
    HelpViewer* viewer = nullptr;
    if (parent)
        for (auto* v : parent->findChildren<HelpViewer*>(Qt::FindDirectChildrenOnly))
            if (!v->isHidden()) viewer = v;
    const bool fresh = viewer == nullptr;
    if (fresh) viewer = new HelpViewer(helpPath, helpLanguage(helpPath, language), parent);
    const bool shown = context < 0 ? viewer->showContents() : viewer->showTopic(context);
    if (!shown) {
        const QString title = viewer->windowTitle();
        const QString text = viewer->message(0).arg(context < 0 ? 0 : context);
        if (fresh) delete viewer;
        QMessageBox::information(parent, title, text);
        return false;
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return true;
}

} // namespace

bool openHelp(const QString& helpPath, int context, int language, QWidget* parent) {
    return openPage(helpPath, context, language, parent);
}

bool openHelpContents(const QString& helpPath, int language, QWidget* parent) {
    return openPage(helpPath, -1, language, parent);
}

QString mailtoUrl(const QString& address) {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    QString path = address.trimmed();
    // A line break would end the address in some handlers.
    path.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    url.setPath(path, QUrl::DecodedMode);
    return url.toString(QUrl::FullyEncoded);
}

bool openMail(const QString& address) {
    return QDesktopServices::openUrl(QUrl(mailtoUrl(address)));
}

} // namespace vm::forms
