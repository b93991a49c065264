#include "engine/Database.h"
#include "schema/Creation.h"
#include "schema/Schema.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vm::schema {
namespace {

// Makes the missing directories of `dir`, outermost first; returns those
// made here, deepest first. A directory another process makes at the same
// moment counts as found, not made.
std::vector<std::string> makeParents(const fs::path& dir) {
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = dir; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) break;
    }
    std::vector<std::string> made;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0777) == 0)
            made.insert(made.begin(), it->string());
        else if (errno != EEXIST)
            throw SchemaError("cannot create the directory " + it->string() + ": " + std::strerror(errno));
    }
    return made;
}

// The name the creation lock holds on a server; row 0 of it is no record.
constexpr const char* kServerLockName = "_vm_creation";

} // namespace

CreationLock::CreationLock(const std::string& dataDir) : dataDir_(dataDir) {
    if (Database::isServerLocation(dataDir)) {
        // A creation spans several transactions (a company is built, then
        // listed in the data root), so the lock cannot be the write lock of
        // one transaction: it is a record lock of the data root's schema,
        // session-level and on the lock connection of a Database of its own,
        // so that it outlives the transactions of the creation and goes with
        // a process that dies. A record lock never waits: it is polled.
        server_ = std::make_unique<Database>(dataDir);
        while (!server_->tryLockName(kServerLockName))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return;
    }
    std::string d = dataDir;
    while (d.size() > 1 && d.back() == '/')
        d.pop_back();
    file_ = d + ".lock";
    const fs::path parent = fs::path(file_).parent_path();
    // A holder that gave up removes the lock file (and the directories made
    // for it) before releasing: whoever then wins the lock on the removed
    // file starts again with a fresh one.
    for (int attempt = 0;; ++attempt) {
        if (attempt > 1000) throw SchemaError("cannot take the creation lock " + file_);
        auto made = makeParents(parent);
        madeDirs_.insert(madeDirs_.end(), made.begin(), made.end());
        fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            if (errno == ENOENT) continue;
            throw SchemaError("cannot open the creation lock " + file_ + ": " + std::strerror(errno));
        }
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        int rc;
        while ((rc = ::fcntl(fd_, F_OFD_SETLKW, &fl)) != 0 && errno == EINTR) {
        }
        // File systems without open-file-description locks may still have
        // whole-file ones.
        if (rc != 0 && errno == EINVAL)
            while ((rc = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
            }
        if (rc != 0) {
            const int err = errno;
            ::close(fd_);
            fd_ = -1;
            throw SchemaError("cannot take the creation lock " + file_ + ": " + std::strerror(err));
        }
        struct stat held {
        }, named{};
        if (::fstat(fd_, &held) == 0 && ::stat(file_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            break;
        ::close(fd_);
        fd_ = -1;
    }
    // Only directories that still exist and are ours to remove count.
    std::erase_if(madeDirs_, [](const std::string& p) {
        std::error_code ec;
        return !fs::is_directory(p, ec);
    });
}

CreationLock::~CreationLock() {
    if (server_) return; // closing its connection releases the lock
    if (discard_) {
        ::unlink(file_.c_str());
        for (const auto& d : madeDirs_)
            ::rmdir(d.c_str()); // fails, harmlessly, when something else is in it
    }
    if (fd_ >= 0) ::close(fd_); // releases the lock
}

} // namespace vm::schema

namespace vm::schema::detail {
namespace {

void syncPath(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void buildInPlace(const std::string& dir, const std::function<void(Database&)>& build) {
    const fs::path work = fs::path(dir) / kUnfinished;
    std::error_code ec;
    fs::create_directory(work, ec);
    if (ec) throw SchemaError("cannot create " + work.string() + ": " + ec.message());
    {
        Database db(work.string());
        build(db);
    }
    // The last connection's close has written the log back into the file;
    // a log left over would hold what the move below would lose.
    const fs::path file = work / Database::kFileName;
    const fs::path wal = work / (std::string(Database::kFileName) + "-wal");
    if (fs::exists(wal, ec) && fs::file_size(wal, ec) > 0)
        throw SchemaError("the new database in " + work.string() + " could not be completed");
    syncPath(file);
    const fs::path target = fs::path(dir) / Database::kFileName;
    if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0)
        throw SchemaError("cannot move the new database to " + target.string() + ": " + std::strerror(errno));
    syncPath(dir);
}

void clearUnfinished(const std::string& dir) {
    std::error_code ec;
    fs::remove_all(fs::path(dir) / kUnfinished, ec);
}

bool hasUnfinished(const std::string& dir) {
    std::error_code ec;
    return fs::exists(fs::path(dir) / kUnfinished, ec);
}

void removeDatabaseFiles(const std::string& dir) {
    std::error_code ec;
    for (const char* f : {Database::kFileName, Database::kLockFileName})
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(fs::path(dir) / (std::string(f) + suffix), ec);
}

} // namespace vm::schema::detail
