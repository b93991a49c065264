#include "report/FileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm::report {

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open(const std::string& path, std::string* error) {
    discard();
    if (path.empty()) {
        if (error) *error = "no file name";
        return false;
    }
    path_ = path;
    tmp_ = path + ".XXXXXX";
    fd_ = ::mkstemp(tmp_.data());
    if (fd_ < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        tmp_.clear();
        return false;
    }
    // A replaced file keeps its permissions; a new one is readable by all,
    // as files the user saves usually are.
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ok_ = ::fchmod(fd_, mode) == 0;
    return true;
}

bool AtomicFile::write(std::string_view data) {
    while (ok_ && fd_ >= 0 && !data.empty()) {
        const ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok_ = false;
            break;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return ok_ && fd_ >= 0;
}

bool AtomicFile::commit(std::string* error) {
    if (fd_ < 0) {
        if (error) *error = path_ + ": not open";
        return false;
    }
    errno = 0;
    bool ok = ok_ && ::fsync(fd_) == 0;
    int err = errno;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok && ::rename(tmp_.c_str(), path_.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmp_.c_str());
        tmp_.clear();
        if (error) *error = path_ + ": " + (err ? std::strerror(err) : "write failed");
        return false;
    }
    tmp_.clear();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
    tmp_.clear();
}

bool FileWriter::writeAll(const std::string& path, std::string_view data, std::string* error) {
    AtomicFile file;
    if (!file.open(path, error)) return false;
    if (!file.write(data)) {
        if (error) *error = path + ": write failed";
        return false;
    }
    return file.commit(error);
}

} // namespace vm::report
