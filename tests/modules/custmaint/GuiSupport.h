#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// One application object for every GUI test of the program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "maint_tests";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};

// Answers the modal boxes the window opens: records each message box's text
// and presses its OK (or Yes) button, so that no test waits on a dialog. A
// dialog that is not a message box is handed to `onDialog`, or rejected.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

    std::vector<std::string> texts;
    std::function<void(QDialog*)> onDialog;
    // Refuse the delete question instead of confirming it.
    bool refuseQuestions = false;

    void clear() { texts.clear(); }
    std::string last() const { return texts.empty() ? std::string() : texts.back(); }

private:
    void answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            texts.push_back(box->text().toStdString());
            QAbstractButton* b = nullptr;
            if (refuseQuestions) b = box->button(QMessageBox::Cancel);
            if (refuseQuestions && !b) b = box->button(QMessageBox::No);
            if (!b) b = box->button(QMessageBox::Ok);
            if (!b) b = box->button(QMessageBox::Yes);
            if (b)
                b->click();
            else
                box->done(0);
            return;
        }
        if (auto* d = qobject_cast<QDialog*>(w)) {
            if (onDialog)
                onDialog(d);
            else
                d->reject();
        }
    }

    QTimer timer_;
};

// Runs the event loop until `done` holds or `ms` have passed.
inline bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (done()) return true;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QTimer t;
        t.setSingleShot(true);
        QEventLoop loop;
        QObject::connect(&t, &QTimer::timeout, &loop, &QEventLoop::quit);
        t.start(10);
        loop.exec();
    }
    return done();
}
