#pragma once
#include "common/forms/RecordNavigator.h"

#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QObject;
class QWidget;

namespace vm::forms {

class RecordMaintenance;

// The Qt side shared by the maintenance windows around RecordMaintenance:
// the navigator's wiring, the keyboard rule and the look of the fields.

// The navigator's insert, edit, post, cancel and delete go to the
// controller; after a move the window returns to browse state.
void wireNavigator(RecordNavigator& navigator, RecordMaintenance& maintenance);

// Keys of the browse state: Up/Page Up prior, Down/Page Down next, Home
// first, End last, Insert and Delete the navigator's buttons.
std::optional<RecordNavigator::Action> browseAction(int key);

// Edit boxes, check boxes, drop-downs and spin boxes: what Enter, Down and
// Up move between.
bool isDataEntry(const QWidget* widget);
// Moves the focus to the next (or previous) enabled, visible data-entry
// control of `window`, in its focus order.
void moveToNextEntry(QWidget& window, bool forward);
// The keyboard rule while a record is edited: Enter and Down move to the
// next data-entry control, Up to the previous one; the key is consumed.
// `keepKeys` (the comments memo) keeps its own meaning of them. Returns
// whether the key was used.
bool entryKey(QWidget& window, QObject* watched, int key, const QObject* keepKeys);

// Asks before something destructive (a delete, discarding changes): a
// question box titled with the window's name, "No" the default button.
bool askDestructive(QWidget& window, const QString& question);

// Gives every push button of `window` whose text has no access key one: the
// first letter of its text not yet taken in the window, in creation order. Run after the texts are
// translated, so that each language gets keys from its own words without clashes.
void assignAccessKeys(QWidget& window);

// Upper-cases what is typed into `edit` while `when` holds (a Canadian
// postal code), before the text reaches its field.
void upperCaseWhile(QLineEdit& edit, std::function<bool()> when);

// Ctrl+S posts; Escape is left to the window (QDialog::reject), which asks
// the controller to cancel.
void addPostShortcut(QWidget& window, RecordNavigator& navigator);

// Disabled fields keep readable text: the data of a record in browse state
// is there to be read, not greyed out.
void makeDisabledFieldsReadable(QWidget& window);

} // namespace vm::forms
