#include "components/common/SearchKeyForwarder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace vm::components {

SearchKeyForwarder::SearchKeyForwarder(QLineEdit& search, QAbstractItemView& list)
    : QObject(&search), list_(list) {
    search.installEventFilter(this);
}

bool SearchKeyForwarder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QApplication::sendEvent(&list_, event);
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vm::components
