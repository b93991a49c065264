#pragma once
#include "common/forms/LanguageTable.h"

#include <string>

class QObject;
class QWidget;

namespace vm::forms {

// Sets the texts of a form and of its named components from the language
// table `<stem><langCode>` (stem without its first "."): the form's caption
// from row (form, form), then for every descendant with an objectName the row
// (form, component), where form is the form's objectName. Components without
// a row keep their designed texts.
//
// How a row applies, first matching case:
//   memo          QPlainTextEdit, QTextEdit, MessageList, QLabel: lines
//   grid          QTableWidget, QTreeWidget or any item view's model:
//                 column i title = line i (titles without a line are kept)
//   radio group   QGroupBox title = caption, its i-th radio button = line i
//   combo, check list
//                 QComboBox or QListWidget items replaced by the lines
//                 (check list items are checkable, unchecked)
//   menu item     QAction text, QMenu title = caption
//   "DBNavigator1"
//                 the record navigator's button hints = lines
//   otherwise     text = caption (labels, buttons, check boxes, group boxes,
//                 tab pages, a line edit's placeholder when the caption is
//                 not empty), tool tip = hint
//
// Throws vm::EngineError when the table cannot be opened.
void translateForm(QWidget& form, const std::string& stem, const std::string& langCode);
void translateForm(QWidget& form, const std::string& stem, const std::string& langCode,
                   const std::string& languagesDir);
// The same over an open table.
void translateForm(QWidget& form, LanguageTable& table);

// Applies one row to one component, as translateForm does.
void applyLanguageEntry(QObject& component, const LanguageEntry& entry);

} // namespace vm::forms
