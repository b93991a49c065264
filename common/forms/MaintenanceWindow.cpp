#include "common/forms/MaintenanceWindow.h"

#include "common/forms/KeyHint.h"
#include "common/forms/MessageList.h"
#include "common/forms/RecordMaintenance.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

namespace vm::forms {

namespace build {

QLabel* label(QWidget* parent, const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit* line(QWidget* parent, const char* name, int widthChars) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (widthChars > 0) e->setFixedWidth(e->fontMetrics().averageCharWidth() * widthChars + 16);
    return e;
}

QToolButton* lookupButton(QWidget* parent, const char* name, const char* hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(QStyle::SP_FileDialogContentsView));
    b->setToolTip(QString::fromUtf8(hint));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QCheckBox* check(QWidget* parent, const char* name, const char* text) {
    auto* c = new QCheckBox(QString::fromUtf8(text), parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

void put(QGridLayout* grid, int row, int col, QLabel* label, QWidget* editor, QWidget* button) {
    grid->addWidget(label, row, col);
    if (!button) {
        grid->addWidget(editor, row, col + 1);
        return;
    }
    auto* box = new QHBoxLayout;
    box->setSpacing(2);
    const bool narrow = editor->maximumWidth() < QWIDGETSIZE_MAX;
    box->addWidget(editor, narrow ? 0 : 1);
    box->addWidget(button);
    if (narrow) box->addStretch(1);
    grid->addLayout(box, row, col + 1);
}

} // namespace build

namespace {

QPushButton* barButton(QWidget* parent, const char* name, const char* text, QStyle::StandardPixmap icon) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setAutoDefault(false);
    return b;
}

} // namespace

MaintenanceBar addMaintenanceBar(QWidget& window, QVBoxLayout& layout) {
    MaintenanceBar m;
    auto* bar = new QHBoxLayout;
    m.print = barButton(&window, "BtnPrint", "", QStyle::SP_DesktopIcon);
    m.print->setToolTip(QStringLiteral("Print screen"));
    m.email = barButton(&window, "BtnEmail", "", QStyle::SP_DirLinkIcon);
    m.email->setToolTip(QStringLiteral("E-mail"));
    m.quickLink = barButton(&window, "BtnQuickLink", "", QStyle::SP_ArrowRight);
    m.quickLink->setToolTip(QStringLiteral("Quick link"));
    // The icon-only buttons' keys, which an edit field leaves alone.
    setButtonKey(*m.print, QKeySequence(Qt::CTRL | Qt::Key_P));
    setButtonKey(*m.email, QKeySequence(Qt::CTRL | Qt::Key_M));
    setButtonKey(*m.quickLink, QKeySequence(Qt::CTRL | Qt::Key_L));
    m.navigator = new RecordNavigator(&window);
    m.quit = barButton(&window, "BtnQuit", "Exit", QStyle::SP_DialogCloseButton);
    m.help = barButton(&window, "BtnHelp", "Help", QStyle::SP_DialogHelpButton);
    bar->addWidget(m.print);
    bar->addWidget(m.email);
    bar->addWidget(m.quickLink);
    bar->addSpacing(12);
    bar->addWidget(m.navigator);
    bar->addStretch(1);
    bar->addWidget(m.quit);
    bar->addWidget(m.help);
    layout.addLayout(bar);

    m.statusBar = new QStatusBar(&window);
    m.statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m.statusBar->setSizeGripEnabled(false);
    m.statusBar->addWidget(build::label(m.statusBar, "StatusCompany", "Company: "), 3);
    m.statusBar->addWidget(build::label(m.statusBar, "StatusUser", "User: "), 2);
    m.statusBar->addWidget(build::label(m.statusBar, "StatusVersion", "Version "), 1);
    layout.addWidget(m.statusBar);

    m.messages = new MessageList(&window);
    m.messages->hide();
    return m;
}

bool windowOpen(const QString& caption) {
    if (caption.isEmpty()) return false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == caption) return true;
    return false;
}

bool quickLinkOpen() {
    return windowOpen(QStringLiteral("Quick Link")) || windowOpen(QStringLiteral("Lien Rapide"));
}

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
    showKeyInToolTip(*navigator.button(RecordNavigator::Post), post->key());
    // Escape, which the maintenance windows' keys give to cancel an edit.
    showKeyInToolTip(*navigator.button(RecordNavigator::Cancel), QKeySequence(Qt::Key_Escape));
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
