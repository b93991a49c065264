#pragma once
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;

namespace vm {
class Cursor;
class Value;
} // namespace vm

namespace vm::forms {

class RecordNavigator;

// Data-aware controls: binds controls to fields of one cursor. Each control
// shows the field of the current row (or of the row being edited), is
// reloaded whenever the cursor moves, and writes what the user changes into
// the row with Cursor::set() while the cursor edits or inserts.
//
// Only user changes are written (typing, clicking, choosing), never values
// loaded by the binder or set by the program. A change made while the cursor
// browses first runs the auto-edit action when one is set (a module puts the
// row into edit state there, starting its transaction); without one, or when
// the cursor still browses afterwards, nothing is written.
//
// Line edits take the field's type: text, whole numbers, real numbers, money
// (shown with the display format's currency, edited as plain digits) and
// dates (typed through the date mask of the display format). Text that does
// not read as the field's type is not written; when the user leaves the
// control a message says so and the focus stays.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    explicit FieldBinder(Cursor& cursor, QObject* parent = nullptr);
    ~FieldBinder() override;

    Cursor& cursor() const { return cursor_; }

    void bindText(QLineEdit* edit, const std::string& field);
    // A date field in a line edit with the date mask (bindText does the same
    // for a date field).
    void bindDate(QLineEdit* edit, const std::string& field);
    void bindMemo(QPlainTextEdit* memo, const std::string& field);
    void bindCheck(QCheckBox* box, const std::string& field);
    // The field holds the chosen position plus `offset` (-1 or blank: none).
    void bindComboIndex(QComboBox* combo, const std::string& field, int offset = 0);
    // The field holds the chosen item's text.
    void bindComboText(QComboBox* combo, const std::string& field);
    void bindSpin(QSpinBox* spin, const std::string& field);

    void setAutoEdit(std::function<void()> startEdit) { autoEdit_ = std::move(startEdit); }
    // 1 English, anything else French: the language of the input message.
    void setLanguage(int language) { language_ = language; }
    // Reloads the controls after each action of the navigator (insert,
    // cancel and edit do not move the cursor).
    void follow(RecordNavigator* navigator);

public slots:
    // Shows the current row in every bound control.
    void load();

signals:
    // A user change was written into the row.
    void fieldWritten(const QString& field);

private:
    struct Binding;
    Binding& add(QWidget* w, const std::string& field);
    bool write(Binding& b, const Value& v);
    void loadOne(Binding& b);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void textEdited(Binding& b, const QString& text);
    void refuse(Binding& b);

    Cursor& cursor_;
    int listenerId_ = -1;
    std::vector<std::unique_ptr<Binding>> bindings_;
    std::function<void()> autoEdit_;
    int language_ = 1;
    bool loading_ = false;
};

} // namespace vm::forms
