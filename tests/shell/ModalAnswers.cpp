#include "tests/shell/ModalAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>

namespace vm::test {
namespace {

// Every appearance of a modal window is queued when it is shown, so that a
// dialog shown again (a login after a wrong password) is answered again,
// and a dialog whose own message box has closed is not.
struct State : QObject {
    std::deque<std::function<void(QWidget&)>> handlers;
    std::deque<QPointer<QWidget>> appeared;
    int waitedTicks = 0;
    int unexpected = 0;
    QTimer* timer = nullptr;

    bool eventFilter(QObject* obj, QEvent* event) override {
        if (event->type() == QEvent::Show && obj->isWidgetType()) {
            auto* w = static_cast<QWidget*>(obj);
            if (w->isWindow() && w->isModal()) appeared.emplace_back(w);
        }
        return false;
    }

    void tick() {
        while (!appeared.empty() && (!appeared.front() || !appeared.front()->isVisible())) {
            appeared.pop_front();
            waitedTicks = 0;
        }
        if (appeared.empty()) return;
        QWidget* modal = appeared.front();
        if (!handlers.empty()) {
            auto handler = std::move(handlers.front());
            handlers.pop_front();
            appeared.pop_front();
            waitedTicks = 0;
            // Run outside this timer's slot: a timer does not fire again
            // while its slot runs, and a handler may open a dialog of its own.
            QTimer::singleShot(0, this, [handler = std::move(handler), w = QPointer<QWidget>(modal)] {
                if (w) handler(*w);
            });
            return;
        }
        if (++waitedTicks > 150) { // about three seconds
            ++unexpected;
            appeared.pop_front();
            waitedTicks = 0;
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
            else
                modal->close();
        }
    }
};

State& state() {
    static State* s = [] {
        auto* st = new State;
        st->setParent(qApp);
        qApp->installEventFilter(st);
        st->timer = new QTimer(st);
        st->timer->setInterval(20);
        QObject::connect(st->timer, &QTimer::timeout, st, [st] { st->tick(); });
        st->timer->start();
        return st;
    }();
    return *s;
}

} // namespace

void ModalAnswers::expect(std::function<void(QWidget&)> handler) {
    state().handlers.push_back(std::move(handler));
}

int ModalAnswers::pending() {
    return static_cast<int>(state().handlers.size());
}
int ModalAnswers::unexpected() {
    return state().unexpected;
}

void ModalAnswers::reset() {
    State& s = state();
    s.handlers.clear();
    s.appeared.clear();
    s.unexpected = 0;
    s.waitedTicks = 0;
}

void clickButton(QWidget& window, const char* objectName) {
    auto* b = window.findChild<QAbstractButton*>(QString::fromLatin1(objectName));
    if (b) QTest::mouseClick(b, Qt::LeftButton);
}

void typeInto(QWidget& window, const char* objectName, const QString& text) {
    auto* e = window.findChild<QLineEdit*>(QString::fromLatin1(objectName));
    if (!e) return;
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
}

QString messageText(QWidget& box) {
    auto* m = qobject_cast<QMessageBox*>(&box);
    return m ? m->text() : QString();
}

void acceptMessage(QWidget& box, QString* text) {
    if (text) *text = messageText(box);
    if (auto* d = qobject_cast<QDialog*>(&box)) d->accept();
}

} // namespace vm::test
