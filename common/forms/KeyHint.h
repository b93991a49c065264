#pragma once
#include <QKeySequence>
#include <QString>

class QAbstractButton;
class QWidget;

namespace vm::forms {

// Names `key` at the end of the widget's tool tip, "First record (Alt+Home)",
// and keeps it there whatever text the language table sets later. The key
// is written as Qt writes it in the session's language ("Début" for Home
// once Qt's French texts are loaded). Binds nothing: for keys the window
// handles itself.
void showKeyInToolTip(QWidget& widget, const QKeySequence& key);
// Binds `key` to the button (a window-wide shortcut that clicks it) and
// names it in its tool tip as above.
void setButtonKey(QAbstractButton& button, const QKeySequence& key);
// The tool tip without the key named at its end.
QString toolTipWithoutKey(const QWidget& widget);

} // namespace vm::forms
