#pragma once
// Internal to the engine: record locks between sessions and processes.
#include <cstdint>
#include <map>
#include <string>

namespace vm {

// Byte-range locks on the lock file beside a database, one byte per record
// at an offset derived from the table name and the row id. They are
// open-file-description locks (F_OFD_SETLK): they conflict between processes
// and between two sessions of one process (each opens the file itself), and
// the kernel drops them when the holder dies.
class RecordLocks {
public:
    explicit RecordLocks(const std::string& lockFilePath);
    ~RecordLocks();
    RecordLocks(const RecordLocks&) = delete;
    RecordLocks& operator=(const RecordLocks&) = delete;

    // Takes (or re-takes) the lock; throws kRecordLocked when another
    // session holds it. Counted: each lock() needs one unlock().
    void lock(const std::string& table, std::int64_t rowId);
    void unlock(const std::string& table, std::int64_t rowId);
    // Whether another session holds the lock (takes nothing).
    bool lockedByOther(const std::string& table, std::int64_t rowId);
    bool heldHere(const std::string& table, std::int64_t rowId) const;

    static std::int64_t offsetOf(const std::string& table, std::int64_t rowId);

private:
    bool tryLock(std::int64_t offset);
    void release(std::int64_t offset);

    std::string path_;
    int fd_ = -1;
    std::map<std::int64_t, int> held_; // offset -> count
};

} // namespace vm
