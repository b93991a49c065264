#include "common/forms/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vm::forms {

bool useQtTranslations(const QString& langCode) {
    // One translator for the whole process: the shell and the modules it
    // runs share the application object.
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (langCode.isEmpty() || langCode == QLatin1String("en")) return false;
    auto* translator = new QTranslator;
    if (!translator->load(QStringLiteral("qtbase_") + langCode,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace vm::forms
