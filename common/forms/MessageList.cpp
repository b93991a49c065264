#include "common/forms/MessageList.h"

#include <QMessageBox>

namespace vm::forms {

MessageList::MessageList(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    setVisible(false);
    // Kept out of layouts and of the focus chain: it is data, not a control.
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(0, 0);
}

void MessageList::inform(int i, QWidget* parent) const {
    QWidget* owner = parent ? parent : window();
    // Titled with the window's name, as every box of the program is.
    QMessageBox::information(owner, owner->window()->windowTitle(), message(i), QMessageBox::Ok);
}

} // namespace vm::forms
