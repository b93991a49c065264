#pragma once
#include "engine/Database.h"
#include "engine/Session.h"
#include "languages/LanguageSource.h"
#include "languages/LanguageTableWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace vm::test {

// A fresh directory under the system's temporary directory, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vmforms-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        Session::instance().closeAll();
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Builds language tables in `dir` from source texts named like their files
// ("MainMenu.en.txt").
inline void buildLanguages(const std::string& dir,
                           const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<forms::LanguageSource> sources;
    for (const auto& [name, text] : files) {
        auto s = forms::LanguageSource::parse(text, name);
        auto base = name.substr(0, name.size() - 4); // ".txt"
        auto dot = base.rfind('.');
        s.stem = base.substr(0, dot);
        s.lang = base.substr(dot + 1);
        sources.push_back(std::move(s));
    }
    forms::LanguageTableWriter::checkComplete(sources);
    Session session;
    forms::LanguageTableWriter::write(session.database(dir), sources);
    session.closeAll();
}

// Watches for the next modal window of type W and hands it to `act` (which
// should close it). Gives up after `timeoutMs`, or when `context` goes away
// (so that a watcher never outlives the test that set it).
template <class W = QMessageBox>
void whenModal(std::function<void(W*)> act, int timeoutMs = 10000, QObject* context = nullptr) {
    auto* timer = new QTimer(context ? context : qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, timeoutMs] {
        W* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible()) {
            if (clock->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(w);
    });
    timer->start();
}

// Turns the event loop until `done` holds or `timeoutMs` passed.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Closes the next message box with OK and keeps its text. The watch ends
// with `context`, which must not outlive `text`.
inline void answerMessageBox(QString* text, QObject* context) {
    whenModal<QMessageBox>(
        [text](QMessageBox* box) {
            if (text) *text = box->text();
            box->accept();
        },
        10000, context);
}

} // namespace vm::test
