#include "shell/ProgressBoxLibrary.h"

#include "shell/core/ShellMessages.h"

#include <QMessageBox>

#include <dlfcn.h>

namespace vm::shell {

ProgressBoxLibrary::ProgressBoxLibrary(const std::string& programDir) {
    const std::string path = (programDir.empty() ? std::string(".") : programDir) + "/progressbox.so";
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    open_ = reinterpret_cast<Fn0>(::dlsym(handle_, "loading_Dialog_open"));
    step_ = reinterpret_cast<Fn0>(::dlsym(handle_, "loading_Dialog_step"));
    caption_ = reinterpret_cast<Fn1>(::dlsym(handle_, "loading_Dialog_caption"));
    close_ = reinterpret_cast<Fn0>(::dlsym(handle_, "loading_Dialog_close"));
    if (!open_ || !step_ || !caption_ || !close_) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

ProgressBoxLibrary::~ProgressBoxLibrary() {
    if (!handle_) return;
    if (opened_) close_();
    ::dlclose(handle_);
}

void ProgressBoxLibrary::check(std::int32_t result) const {
    if (result == 0)
        QMessageBox::warning(nullptr, QStringLiteral("Valmorand"), QString::fromLatin1(kAccessDenied));
}

void ProgressBoxLibrary::open() {
    if (!handle_) return;
    const std::int32_t r = open_();
    opened_ = r != 0;
    check(r);
}

void ProgressBoxLibrary::step() {
    if (handle_ && opened_) check(step_());
}

void ProgressBoxLibrary::caption(int number) {
    if (handle_ && opened_) check(caption_(number));
}

void ProgressBoxLibrary::close() {
    if (handle_ && opened_) {
        check(close_());
        opened_ = false;
    }
}

} // namespace vm::shell
