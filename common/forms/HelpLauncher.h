#pragma once
#include <QString>

class QWidget;

namespace vm::forms {

// Opens help topic `context` of a help folder (ModuleStartup::helpPath()):
// the page "<context>.html" in the program's help viewer, beside `parent`
// (one viewer per parent window, reused). When the topic is not installed
// the user is told so in the session language, without any file name.
// Returns whether the page is shown.
bool openHelp(const QString& helpPath, int context, int language, QWidget* parent = nullptr);
// The same for the contents page ("index.html") of the help folder.
bool openHelpContents(const QString& helpPath, int language, QWidget* parent = nullptr);

// The "mailto:" URL of an address. The address is one path: characters that
// would start a query ("?subject=...&attach=...") or a fragment are encoded,
// so a stored address cannot add headers or attachments.
QString mailtoUrl(const QString& address);
// Opens the system's mail handler on that URL.
bool openMail(const QString& address);

} // namespace vm::forms
