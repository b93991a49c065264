#include "common/forms/RecordNavigator.h"

#include "common/forms/KeyHint.h"
#include "common/forms/SharedTexts.h"
#include "engine/Cursor.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>

namespace vm::forms {

namespace {

struct ButtonLook {
    const char* name;
    QStyle::StandardPixmap icon;
    const char* text; // when the style has no icon
    const char* hint;
    QKeyCombination key; // none for post and cancel, whose keys the window gives
};

// Hints are replaced by the language table's lines; these are the designed ones.
// Keys that an edit field leaves alone (it takes Ctrl+Home, Ctrl+Del...), so
// that they work wherever the focus is.
constexpr ButtonLook kLooks[RecordNavigator::kActionCount] = {
    {"BtnFirst", QStyle::SP_MediaSkipBackward, "|<", "First record", Qt::ALT | Qt::Key_Home},
    {"BtnPrior", QStyle::SP_MediaSeekBackward, "<", "Prior record", Qt::ALT | Qt::Key_PageUp},
    {"BtnNext", QStyle::SP_MediaSeekForward, ">", "Next record", Qt::ALT | Qt::Key_PageDown},
    {"BtnLast", QStyle::SP_MediaSkipForward, ">|", "Last record", Qt::ALT | Qt::Key_End},
    {"BtnInsert", QStyle::SP_FileDialogNewFolder, "+", "Insert record", Qt::ALT | Qt::Key_Insert},
    {"BtnDelete", QStyle::SP_DialogDiscardButton, "-", "Delete record", Qt::ALT | Qt::Key_Delete},
    {"BtnEdit", QStyle::SP_FileDialogDetailedView, "^", "Edit record", Qt::CTRL | Qt::SHIFT | Qt::Key_E},
    {"BtnPost", QStyle::SP_DialogApplyButton, "\u2713", "Post edit", QKeyCombination()},
    {"BtnCancel", QStyle::SP_DialogCancelButton, "x", "Cancel edit", QKeyCombination()},
};

} // namespace

RecordNavigator::RecordNavigator(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < kActionCount; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kLooks[i].name));
        QIcon icon = style()->standardIcon(kLooks[i].icon);
        if (icon.isNull())
            b->setText(QString::fromUtf8(kLooks[i].text));
        else
            b->setIcon(icon);
        b->setToolTip(QString::fromLatin1(kLooks[i].hint));
        if (kLooks[i].key != QKeyCombination()) setButtonKey(*b, QKeySequence(kLooks[i].key));
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(26, 24);
        connect(b, &QToolButton::clicked, this, [this, i] { trigger(static_cast<Action>(i)); });
        layout->addWidget(b);
        buttons_[i] = b;
    }
    updateButtons();
}

RecordNavigator::~RecordNavigator() {
    setCursor(nullptr);
}

void RecordNavigator::setCursor(Cursor* cursor) {
    if (cursor_ && listenerId_ >= 0) cursor_->removeMoveListener(listenerId_);
    cursor_ = cursor;
    listenerId_ = -1;
    if (cursor_) listenerId_ = cursor_->addMoveListener([this] { updateButtons(); });
    updateButtons();
}

void RecordNavigator::setLanguage(int language) {
    deleteQuestion_ =
        sharedText(language, QStringLiteral("RecordNavigator"), 0, QStringLiteral("Delete record?"));
}

void RecordNavigator::setHints(const QStringList& hints) {
    for (int i = 0; i < kActionCount && i < hints.size(); ++i)
        buttons_[i]->setToolTip(hints[i]);
}

QStringList RecordNavigator::hints() const {
    QStringList out;
    for (auto* b : buttons_)
        out << toolTipWithoutKey(*b);
    return out;
}

void RecordNavigator::updateButtons() {
    const bool on = cursor_ && isEnabled();
    const bool browse = on && cursor_->state() == Cursor::State::Browse;
    const bool editing =
        on && (cursor_->state() == Cursor::State::Edit || cursor_->state() == Cursor::State::Insert);
    const bool canModify = on && !cursor_->readOnly();
    const bool row = browse && cursor_->hasRow();
    buttons_[First]->setEnabled(row && !cursor_->bof());
    buttons_[Prior]->setEnabled(row && !cursor_->bof());
    buttons_[Next]->setEnabled(row && !cursor_->eof());
    buttons_[Last]->setEnabled(row && !cursor_->eof());
    buttons_[Insert]->setEnabled(browse && canModify);
    buttons_[Delete]->setEnabled(row && canModify);
    buttons_[Edit]->setEnabled(row && canModify);
    buttons_[Post]->setEnabled(editing && canModify);
    buttons_[Cancel]->setEnabled(editing && canModify);
}

bool RecordNavigator::trigger(Action a) {
    if (!cursor_ || !buttons_[a]->isEnabled()) return false;
    if (a == Delete && !deleteQuestion_.isEmpty() &&
        QMessageBox::question(window(), window()->windowTitle(), deleteQuestion_,
                              QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return false;
    bool abort = false;
    emit beforeAction(a, abort);
    if (abort || !cursor_) return false;
    try {
        perform(a);
    } catch (...) {
        updateButtons();
        throw;
    }
    updateButtons();
    emit afterAction(a);
    return true;
}

void RecordNavigator::perform(Action a) {
    switch (a) {
    case First:
        cursor_->first();
        break;
    case Prior:
        cursor_->prior();
        break;
    case Next:
        cursor_->next();
        break;
    case Last:
        cursor_->last();
        break;
    case Insert:
        cursor_->insert();
        break;
    case Delete:
        cursor_->remove();
        break;
    case Edit:
        cursor_->edit();
        break;
    case Post:
        cursor_->post();
        break;
    case Cancel:
        cursor_->cancel();
        break;
    }
}

} // namespace vm::forms
