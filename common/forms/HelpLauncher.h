#pragma once
#include <QString>

class QWidget;

namespace vm::forms {

// Opens help topic `context` of a help directory (ModuleStartup::helpPath()):
// the file "<context>.html" in it, with the system's viewer. When the topic
// is not installed the user is told so (language 1 English, else French).
// Returns whether a viewer was started.
bool openHelp(const QString& helpPath, int context, int language, QWidget* parent = nullptr);

// The "mailto:" URL of an address. The address is one path: characters that
// would start a query ("?subject=...&attach=...") or a fragment are encoded,
// so a stored address cannot add headers or attachments.
QString mailtoUrl(const QString& address);
// Opens the system's mail handler on that URL.
bool openMail(const QString& address);

} // namespace vm::forms
