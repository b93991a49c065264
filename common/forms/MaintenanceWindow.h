#pragma once
#include "common/forms/RecordNavigator.h"

#include <QString>

#include <functional>
#include <optional>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QStatusBar;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace vm::forms {

class MessageList;
class RecordMaintenance;

// Named controls of a maintenance window's pages (the object name is the
// component name the language tables know).
namespace build {
QLabel* label(QWidget* parent, const char* name, const char* text);
// A line edit; a short field (widthChars > 0) gets the width of what it holds.
QLineEdit* line(QWidget* parent, const char* name, int widthChars = 0);
QToolButton* lookupButton(QWidget* parent, const char* name, const char* hint);
QCheckBox* check(QWidget* parent, const char* name, const char* text);
// A line of a grid: the label in column `col`, the editor (and its look-up
// button) in the next.
void put(QGridLayout* grid, int row, int col, QLabel* label, QWidget* editor, QWidget* button = nullptr);
} // namespace build

// The bottom of a maintenance window, as every one has it: print-screen,
// e-mail and quick-link buttons, the record navigator, "Exit" and "Help",
// then the status bar's three panels (company, user, version) and the
// hidden message list the language table fills.
struct MaintenanceBar {
    QPushButton* print = nullptr;
    QPushButton* email = nullptr;
    QPushButton* quickLink = nullptr;
    RecordNavigator* navigator = nullptr;
    QPushButton* quit = nullptr;
    QPushButton* help = nullptr;
    QStatusBar* statusBar = nullptr;
    MessageList* messages = nullptr;
};
// Print screen, e-mail and quick link take Ctrl+P, Ctrl+M and Ctrl+L, named
// in their tool tips.
MaintenanceBar addMaintenanceBar(QWidget& window, QVBoxLayout& layout);

// Whether a visible top-level window has this caption (a picker that is
// open already); false for an empty caption.
bool windowOpen(const QString& caption);
// Whether the quick-link window is open ("Quick Link" / "Lien Rapide").
bool quickLinkOpen();

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
// the controller to cancel. The navigator's post and cancel tool tips name
// both keys.
void addPostShortcut(QWidget& window, RecordNavigator& navigator);

// Disabled fields keep readable text: the data of a record in browse state
// is there to be read, not greyed out.
void makeDisabledFieldsReadable(QWidget& window);

} // namespace vm::forms
