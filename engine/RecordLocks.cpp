#include "engine/RecordLocks.h"

#include "engine/EngineError.h"
#include "engine/SqlUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vm {

RecordLocks::RecordLocks(const std::string& lockFilePath) : path_(lockFilePath) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw EngineError(errc::kIo, "Cannot open the lock file " + path_ + ": " + std::strerror(errno));
}

RecordLocks::~RecordLocks() {
    if (fd_ >= 0) ::close(fd_); // releases every lock of this description
}

std::int64_t RecordLocks::offsetOf(const std::string& table, std::int64_t rowId) {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (char c : sql::lower(table)) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::int64_t>(((h & 0xFFFFFFull) << 32) |
                                     (static_cast<std::uint64_t>(rowId) & 0xFFFFFFFFull));
}

bool RecordLocks::tryLock(std::int64_t offset) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = 1;
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return true;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw EngineError(errc::kIo, std::string("Record lock failed: ") + std::strerror(errno));
}

void RecordLocks::release(std::int64_t offset) {
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = 1;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
}

void RecordLocks::lock(const std::string& table, std::int64_t rowId) {
    const auto off = offsetOf(table, rowId);
    auto it = held_.find(off);
    if (it != held_.end()) {
        ++it->second;
        return;
    }
    if (!tryLock(off))
        throw EngineError(errc::kRecordLocked, "Record locked by another user. Table: " + table);
    held_[off] = 1;
}

void RecordLocks::unlock(const std::string& table, std::int64_t rowId) {
    const auto off = offsetOf(table, rowId);
    auto it = held_.find(off);
    if (it == held_.end()) return;
    if (--it->second == 0) {
        release(off);
        held_.erase(it);
    }
}

bool RecordLocks::lockedByOther(const std::string& table, std::int64_t rowId) {
    const auto off = offsetOf(table, rowId);
    if (held_.count(off)) return false;
    if (!tryLock(off)) return true;
    release(off);
    return false;
}

bool RecordLocks::heldHere(const std::string& table, std::int64_t rowId) const {
    return held_.count(offsetOf(table, rowId)) != 0;
}

} // namespace vm
