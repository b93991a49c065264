#include "engine/Backend.h"
#include "engine/SqlUtil.h"

namespace vm::backend {

std::int64_t RecordLocks::keyOf(const std::string& table, std::int64_t rowId) {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (char c : sql::lower(table)) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::int64_t>(((h & 0xFFFFFFull) << 32) |
                                     (static_cast<std::uint64_t>(rowId) & 0xFFFFFFFFull));
}

void RecordLocks::lock(const std::string& table, std::int64_t rowId) {
    lockAndRead(table, rowId, {});
}

std::unique_ptr<Statement> RecordLocks::lockAndRead(const std::string& table, std::int64_t rowId,
                                                    const std::string& rowSql, bool afterWriter) {
    const auto key = keyOf(table, rowId);
    auto it = held_.find(key);
    if (it != held_.end()) {
        ++it->second;
        return nullptr;
    }
    std::unique_ptr<Statement> row;
    if (!tryLockAndRead(key, rowSql, rowId, row, afterWriter))
        throw EngineError(errc::kRecordLocked, "Record locked by another user. Table: " + table);
    held_[key] = 1;
    return row;
}

void RecordLocks::unlock(const std::string& table, std::int64_t rowId, bool answerLater) {
    const auto key = keyOf(table, rowId);
    auto it = held_.find(key);
    if (it == held_.end()) return;
    if (--it->second == 0) {
        if (answerLater)
            releaseLater(key);
        else
            release(key);
        held_.erase(it);
    }
}

bool RecordLocks::lockedByOther(const std::string& table, std::int64_t rowId) {
    const auto key = keyOf(table, rowId);
    if (held_.count(key)) return false;
    if (!tryLock(key)) return true;
    release(key);
    return false;
}

bool RecordLocks::heldHere(const std::string& table, std::int64_t rowId) const {
    return held_.count(keyOf(table, rowId)) != 0;
}

bool isServerLocation(std::string_view location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

} // namespace vm::backend
