#include "common/forms/MaintenanceWindow.h"

#include "common/forms/RecordMaintenance.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QValidator>

namespace vm::forms {

void wireNavigator(RecordNavigator& navigator, RecordMaintenance& maintenance) {
    using A = RecordNavigator;
    QObject::connect(&navigator, &RecordNavigator::beforeAction, &navigator,
                     [&navigator, &maintenance](RecordNavigator::Action action, bool& abort) {
                         switch (action) {
                         case A::Insert:
                             maintenance.insert();
                             break;
                         case A::Edit:
                             maintenance.edit();
                             break;
                         case A::Post:
                             maintenance.post();
                             break;
                         case A::Cancel:
                             maintenance.cancel();
                             break;
                         case A::Delete:
                             maintenance.remove();
                             break;
                         default:
                             return;
                         }
                         abort = true;
                         navigator.updateButtons();
                     });
    QObject::connect(&navigator, &RecordNavigator::afterAction, &navigator,
                     [&maintenance](RecordNavigator::Action) { maintenance.afterMoveAction(); });
}

std::optional<RecordNavigator::Action> browseAction(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        return RecordNavigator::Prior;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        return RecordNavigator::Next;
    case Qt::Key_Home:
        return RecordNavigator::First;
    case Qt::Key_End:
        return RecordNavigator::Last;
    case Qt::Key_Insert:
        return RecordNavigator::Insert;
    case Qt::Key_Delete:
        return RecordNavigator::Delete;
    default:
        return std::nullopt;
    }
}

bool isDataEntry(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

void moveToNextEntry(QWidget& window, bool forward) {
    QWidget* from = QApplication::focusWidget();
    if (!from) return;
    QWidget* w = from;
    for (int guard = 0; guard < 500; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from) return;
        // The line edit inside a spin box is the spin box's own.
        if (isDataEntry(w) && w->isEnabled() && w->isVisible() && w->window() == &window &&
            !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool entryKey(QWidget& window, QObject* watched, int key, const QObject* keepKeys) {
    if (watched == keepKeys) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!isDataEntry(w) && !qobject_cast<QAbstractSpinBox*>(watched->parent())) return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        moveToNextEntry(window, true);
        return true;
    case Qt::Key_Up:
        moveToNextEntry(window, false);
        return true;
    default:
        return false;
    }
}

namespace {

class UpperCaseValidator : public QValidator {
public:
    UpperCaseValidator(std::function<bool()> when, QObject* parent)
        : QValidator(parent), when_(std::move(when)) {}
    State validate(QString& input, int&) const override {
        if (when_()) input = input.toUpper();
        return Acceptable;
    }

private:
    std::function<bool()> when_;
};

} // namespace

void upperCaseWhile(QLineEdit& edit, std::function<bool()> when) {
    edit.setValidator(new UpperCaseValidator(std::move(when), &edit));
}

void addPostShortcut(QWidget& window, RecordNavigator& navigator) {
    auto* post = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &window);
    post->setContext(Qt::WindowShortcut);
    QObject::connect(post, &QShortcut::activated, &navigator, [&navigator] {
        // The field being typed in has already written its text to the row.
        navigator.trigger(RecordNavigator::Post);
    });
}

void makeDisabledFieldsReadable(QWidget& window) {
    QPalette p = window.palette();
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    // A light field that is still told apart from an open one.
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::AlternateBase));
    window.setPalette(p);
}

bool askDestructive(QWidget& window, const QString& question) {
    QMessageBox box(QMessageBox::Question, window.windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                    &window);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void assignAccessKeys(QWidget& window) {
    QList<QAbstractButton*> buttons;
    for (auto* b : window.findChildren<QPushButton*>())
        buttons.push_back(b);
    QSet<QChar> taken;
    for (auto* b : buttons) {
        const QString t = b->text();
        const int amp = t.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < t.size()) taken.insert(t.at(amp + 1).toLower());
    }
    for (auto* b : buttons) {
        const QString t = b->text();
        if (t.isEmpty() || t.contains(QLatin1Char('&'))) continue;
        for (int i = 0; i < t.size(); ++i) {
            const QChar c = t.at(i).toLower();
            if (!c.isLetterOrNumber() || taken.contains(c)) continue;
            taken.insert(c);
            b->setText(t.left(i) + QLatin1Char('&') + t.mid(i));
            break;
        }
    }
}

} // namespace vm::forms
