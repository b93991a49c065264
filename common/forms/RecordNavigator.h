#pragma once
#include <QStringList>
#include <QWidget>

#include <array>

class QToolButton;

namespace vm {
class Cursor;
}

namespace vm::forms {

// The record navigator of the maintenance forms: nine buttons (first, prior,
// next, last, insert, delete, edit, post, cancel) acting on one cursor.
//
// Each action emits beforeAction (a handler may set `abort` to veto it, or
// do its own work first: start a transaction before edit, run the checks
// before post) and, when it ran, afterAction. Exceptions of the cursor (a
// locked record, a key violation) propagate to the caller, so that they
// reach the application's exception hook like any other engine error.
//
// Buttons are enabled by the cursor's state: moves in browse state when
// there is a row before or after; insert in browse state; delete and edit
// in browse state on a row; post and cancel while editing or inserting. A
// read-only cursor enables the moves only.
//
// Keys: Alt+Home, Alt+Page Up, Alt+Page Down, Alt+End move; Alt+Insert,
// Alt+Delete and Ctrl+Shift+E insert, delete and edit (a disabled button's
// key does nothing). Each button's tool tip names its key.
class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum Action { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel };
    static constexpr int kActionCount = 9;

    explicit RecordNavigator(QWidget* parent = nullptr, const QString& name = QStringLiteral("DBNavigator1"));
    ~RecordNavigator() override;

    // The cursor the buttons act on (nullptr: all buttons disabled). The
    // navigator follows the cursor's moves; after acting on the cursor
    // elsewhere (edit, post) call updateButtons().
    void setCursor(Cursor* cursor);
    Cursor* cursor() const { return cursor_; }

    // Hints in button order, without the keys the tool tips add; missing
    // lines leave a button's hint as it was.
    void setHints(const QStringList& hints);
    QStringList hints() const;

    // The question asked before delete; no question when empty.
    void setDeleteQuestion(const QString& question) { deleteQuestion_ = question; }
    // The standard question in the session's language (1 English, else French).
    void setLanguage(int language);

    QToolButton* button(Action a) const { return buttons_[a]; }

    // Runs an action as its button does; returns whether it ran.
    bool trigger(Action a);

public slots:
    void updateButtons();

signals:
    void beforeAction(vm::forms::RecordNavigator::Action action, bool& abort);
    void afterAction(vm::forms::RecordNavigator::Action action);

private:
    void perform(Action a);

    Cursor* cursor_ = nullptr;
    int listenerId_ = -1;
    std::array<QToolButton*, kActionCount> buttons_{};
    QString deleteQuestion_ = QStringLiteral("Delete record?");
};

} // namespace vm::forms
