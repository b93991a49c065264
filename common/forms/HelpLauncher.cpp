#include "common/forms/HelpLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace vm::forms {

bool openHelp(const QString& helpPath, int context, int language, QWidget* parent) {
    const QString file = QDir(helpPath).filePath(QString::number(context) + QStringLiteral(".html"));
    if (!QFileInfo::exists(file)) {
        const QString text = language == 1
                                 ? QStringLiteral("Help topic %1 is not installed (%2).")
                                 : QStringLiteral("La rubrique d'aide %1 n'est pas installée (%2).");
        QMessageBox::information(parent, QStringLiteral("Information"),
                                 text.arg(context).arg(QDir::toNativeSeparators(file)));
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
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
