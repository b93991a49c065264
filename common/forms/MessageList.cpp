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
    QMessageBox::information(owner, QStringLiteral("Information"), message(i), QMessageBox::Ok);
}

} // namespace vm::forms
