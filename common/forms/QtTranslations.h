#pragma once
#include <QString>

namespace vm::forms {

// Qt's own texts (the "Cancel", "Yes" and "No" of message boxes and
// dialogs, context menus of edit fields) in the session language: installs
// Qt's translation for `langCode` ("fr"), replacing the one installed
// before; "en" or a language Qt has no translation for removes it. Returns
// whether a translation is in force afterwards.
bool useQtTranslations(const QString& langCode);

} // namespace vm::forms
