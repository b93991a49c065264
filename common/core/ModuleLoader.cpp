#include "common/core/ModuleLoader.h"

#include "common/core/ExceptionHook.h"
#include "common/core/LaunchCode.h"
#include "common/core/LibraryBoundary.h"
#include "common/core/OptionLines.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>
#include <QVariant>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>

namespace vm::core {
namespace {

// The loader's text for a library it could find but not link; a missing
// dependency reads "<name>: cannot open shared object file: ...".
bool isMissingDependency(const std::string& detail) {
    return detail.find("cannot open shared object file") != std::string::npos;
}

// The libraries whose ShowDllForm has not returned. Each library links its
// own copy of this code, so the list is kept where the exception hook is: as
// a property of the application object and of the UI thread's object, which
// Qt shares across the whole process.
constexpr char kRunningProperty[] = "vmRunningModules";

QStringList runningList() {
    for (QObject* holder : {static_cast<QObject*>(QCoreApplication::instance()),
                            static_cast<QObject*>(QThread::currentThread())}) {
        if (!holder) continue;
        const QVariant v = holder->property(kRunningProperty);
        if (v.isValid()) return v.toStringList();
    }
    return {};
}

void storeRunningList(const QStringList& list) {
    for (QObject* holder : {static_cast<QObject*>(QCoreApplication::instance()),
                            static_cast<QObject*>(QThread::currentThread())})
        if (holder) holder->setProperty(kRunningProperty, list);
}

// One name per library file, whatever path led to it.
QString runningKey(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    return QString::fromStdString(ec ? path : canonical.string());
}

// Marks a library as running for as long as it lives.
class RunningMark {
public:
    explicit RunningMark(const std::string& path) : key_(runningKey(path)) {
        QStringList list = runningList();
        list.append(key_);
        storeRunningList(list);
    }
    ~RunningMark() {
        QStringList list = runningList();
        list.removeOne(key_);
        storeRunningList(list);
    }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    QString key_;
};

} // namespace

bool ModuleLoader::isRunning(const std::string& libraryPath) {
    return runningList().contains(runningKey(libraryPath));
}

std::string ModuleLoader::libraryPath(std::string_view code) const {
    const std::string dir = programDir_.empty() ? std::string(".") : programDir_;
    const bool slash = dir.back() == '/';
    return dir + (slash ? "" : "/") + std::string(code) + ".so";
}

template <typename Call> ModuleRun ModuleLoader::launch(std::string_view code, Call&& call) const {
    ModuleRun run;
    if (!isSafeModuleCode(code)) {
        run.errorNumber = kNotFound;
        run.errorDetail = "not a module code: " + std::string(code);
        return run;
    }
    const std::string path = libraryPath(code);

    // The file itself first, so that its own failure (missing, no
    // permission) is told apart from one of the libraries it needs.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        run.errorNumber = (err == ENOENT || err == ENOTDIR) ? kNotFound : err;
        run.errorDetail = path + ": " + std::strerror(err);
        return run;
    }
    ::close(fd);
    if (isRunning(path)) {
        run.errorNumber = kAlreadyRunning;
        run.errorDetail = path + ": running already";
        return run;
    }

    // Taken before loading: a library's initialisers run inside dlopen.
    const ExceptionHook before = currentExceptionHook();
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* text = ::dlerror();
        run.errorDetail = text ? text : path;
        run.errorNumber = isMissingDependency(run.errorDetail) ? kDependencyMissing : kBadFormat;
        return run;
    }
    void* entry = ::dlsym(handle, kShowDllFormSymbol);
    if (!entry) {
        restoreExceptionHook(before);
        ::dlclose(handle);
        run.errorNumber = kNoEntryPoint;
        run.errorDetail = path + ": no " + kShowDllFormSymbol + " export";
        return run;
    }
    const void* base = libraryBaseOf(entry);

    std::exception_ptr escaped;
    try {
        const RunningMark running(path);
        run.result = call(entry);
        run.loaded = true;
    } catch (...) {
        escaped = detachFromLibrary(base, code);
    }
    restoreExceptionHook(before);
    ::dlclose(handle);

    if (escaped) std::rethrow_exception(escaped);
    return run;
}

ModuleRun ModuleLoader::run(std::string_view code, const TLinkSection& link) const {
    return launch(code, [&link](void* entry) { return reinterpret_cast<ShowDllFormFn>(entry)(link); });
}

ModuleRun ModuleLoader::runWithOptions(std::string_view code, const TLinkSection& link,
                                       const std::vector<std::string>& captions,
                                       const std::vector<std::string>& codes) const {
    const std::string captionText = joinOptionLines(captions);
    const std::string codeText = joinOptionLines(codes);
    return launch(code, [&](void* entry) {
        return reinterpret_cast<ShowDllFormOptionsFn>(entry)(link, captionText.c_str(), codeText.c_str());
    });
}

std::string ModuleLoader::loadErrorMessage(std::string_view code, int errorNumber) {
    return "error loading option " + std::string(code) + "  " + std::to_string(errorNumber);
}

std::string ModuleLoader::optionsLoadErrorMessage(int errorNumber) {
    return "error loading optedit" + std::to_string(errorNumber);
}

} // namespace vm::core
