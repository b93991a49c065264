#pragma once
#include <string>

class QWidget;

namespace vm::components {

// Applies the rows of the shell's language table (stem "MainMenu") for this
// form, keyed by the form's objectName. The designed (fallback) texts stay
// where the table has no row, or when the table cannot be read: a missing
// translation must not stop a look-up.
void translateForm(QWidget& form, const std::string& langCode);

} // namespace vm::components
