#pragma once
#include <memory>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::shell {

// The session slot a shell holds for its whole run: the first row of
// session.db that no other shell holds, kept in edit state so that its record
// lock stays taken. The lock is the engine's, so it is released when the slot
// is released or destroyed, and by the system when the process dies: a
// crashed shell never keeps a slot.
class SessionSlot {
public:
    SessionSlot();
    ~SessionSlot();
    SessionSlot(const SessionSlot&) = delete;
    SessionSlot& operator=(const SessionSlot&) = delete;

    // Walks session.db from its first row and takes the first row it can
    // lock. False when every row is held (or the table is empty). Engine
    // failures other than a held row are thrown.
    bool claim(Database& dataRoot);
    bool held() const { return cursor_ != nullptr; }
    int sessionId() const { return sessionId_; }
    // Gives the row back (nothing is written to it).
    void release();

private:
    std::unique_ptr<Cursor> cursor_;
    int sessionId_ = -1;
};

} // namespace vm::shell
