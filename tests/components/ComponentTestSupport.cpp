#include "tests/components/ComponentTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

namespace vm::test {

ComponentLibrary::ComponentLibrary(const std::string& name) {
    const std::string path = std::string(VM_PROGRAM_DIR) + "/" + name + ".so";
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) error_ = ::dlerror();
}

ComponentLibrary::~ComponentLibrary() {
    unload();
}

void ComponentLibrary::unload() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

void* ComponentLibrary::symbol(const char* name) const {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

namespace {

void rejectAllDialogs() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
}

} // namespace

void onNextModal(std::function<void(QWidget&)> act, const QWidget* skip, int timeoutMs) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, skip, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == skip || !modal->isVisible()) {
            if (clock->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal window showed up";
                rejectAllDialogs();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> guard(modal);
        act(*modal);
        if (guard && guard->isVisible() && QApplication::activeModalWidget() == guard) {
            ADD_FAILURE() << "the test left " << guard->objectName().toStdString() << " open";
            rejectAllDialogs();
        }
    });
    timer->start();
}

core::TLinkSection sessionRecord(const std::string& dataDir, int language, const std::string& programDir) {
    core::TLinkSection link;
    link.LoginUser = "ADMIN";
    link.UserName = "ADMIN";
    link.CompanyCode = "1";
    link.CompanyName = "Test company";
    link.Language = language;
    link.LangCode = language == 1 ? "en" : "fr";
    link.DataDir = dataDir;
    link.ProgramDir = programDir.empty() ? std::string(VM_PROGRAM_DIR) : programDir;
    link.UserDetail = 1;
    return link;
}

} // namespace vm::test
