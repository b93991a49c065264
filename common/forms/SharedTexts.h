#pragma once
#include <QString>
#include <QStringList>

namespace vm::forms {

// Texts that shared code writes outside a translated form (a field's
// refusal, the printer's messages): the lines of a memo row of the shared
// language table (MainMenu, English when language is 1, else French).
// Empty when the table or the row is missing.
QStringList sharedLines(int language, const QString& form,
                        const QString& component = QStringLiteral("IntlStrings1"));
// Line i of that row, or `designed` (the English text the code was drawn
// with) when the table has no such line.
QString sharedText(int language, const QString& form, int i, const QString& designed);

} // namespace vm::forms
