#include "common/forms/SharedTexts.h"

#include "common/forms/LanguageTable.h"

#include <exception>

namespace vm::forms {

QStringList sharedLines(int language, const QString& form, const QString& component) {
    QStringList out;
    try {
        LanguageTable table("MainMenu", language == 1 ? "en" : "fr");
        if (const auto row = table.find(form.toStdString(), component.toStdString()))
            for (const std::string& line : row->lines)
                out << QString::fromStdString(line);
    } catch (const std::exception&) {
        // no language table here: the designed texts stand
    }
    return out;
}

QString sharedText(int language, const QString& form, int i, const QString& designed) {
    const QStringList lines = sharedLines(language, form);
    return i >= 0 && i < lines.size() && !lines.at(i).isEmpty() ? lines.at(i) : designed;
}

} // namespace vm::forms
