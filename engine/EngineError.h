#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

// Engine error codes: category in the high byte, sub-code in the low byte.
namespace errc {
constexpr int kRecordLocked = 0x2801;    // 10241: record locked by another session, and nothing else
constexpr int kDatabaseBusy = 0x2802;    // 10242: the database's write lock is held by another connection
                                         //        past the busy time-out (SQLite "busy"/"locked")
constexpr int kKeyViolation = 0x2601;    // 9729: key violation on the primary key or a unique index
constexpr int kRequiredField = 0x2604;   // 9732: field value required
constexpr int kBadValue = 0x2605;        // 9733: value not valid for the field
constexpr int kNoCurrentRecord = 0x2205; // 8709: no current record
constexpr int kRecordNotFound = 0x2206;  // 8710: record or key not found
constexpr int kTableNotFound = 0x2729;   // 10025: table does not exist
constexpr int kFieldNotFound = 0x2728;   // 10024: no such field
constexpr int kIndexNotFound = 0x270D;   // 9997: no such index
constexpr int kNotInEditMode = 0x2707;   // 9991: cursor is not in insert or edit state
constexpr int kReadOnly = 0x2A04;        // 10756: table opened read-only
constexpr int kAliasNotFound = 0x2B05;   // 11013: unknown alias
constexpr int kDirectory = 0x2B01;       // 11009: directory cannot be used
constexpr int kTableExists = 0x2C02;     // 11266: a table of that name exists
constexpr int kTransaction = 0x2E01;     // 11777: transaction state error
constexpr int kSql = 0x2E02;             // 11778: SQL statement failed
constexpr int kIo = 0x2101;              // 8449: the database file failed
constexpr int kBadCatalog = 0x2102;      // 8450: a table's definition in the catalogue is damaged
} // namespace errc

struct EngineErrorEntry {
    int code = 0;        // full code, e.g. 10241
    std::string message; // what failed, with the table or field it concerns
    int category() const { return (code >> 8) & 0xFF; }
    int subCode() const { return code & 0xFF; }
};

// The one exception type of the engine. It carries a stack of entries; the
// last is the most specific (the one the error form shows).
class EngineError : public std::runtime_error {
public:
    EngineError(int code, const std::string& message);
    EngineError(std::vector<EngineErrorEntry> stack);

    const std::vector<EngineErrorEntry>& stack() const { return stack_; }
    const EngineErrorEntry& last() const { return stack_.back(); }
    int code() const { return last().code; }
    int category() const { return last().category(); }
    int subCode() const { return last().subCode(); }
    bool isRecordLock() const { return code() == errc::kRecordLocked; }
    bool isBusy() const { return code() == errc::kDatabaseBusy; }
    // Something another session holds and will let go: a record lock or the
    // busy database. Both are waited out and retried, never shown as faults.
    bool isLock() const { return isRecordLock() || isBusy(); }
    // A copy with one more entry on top of the stack.
    EngineError pushed(int code, const std::string& message) const;

private:
    std::vector<EngineErrorEntry> stack_;
};

} // namespace vm
