#include "shell/core/SessionSlot.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

namespace vm::shell {

SessionSlot::SessionSlot() = default;

SessionSlot::~SessionSlot() {
    release();
}

bool SessionSlot::claim(Database& dataRoot) {
    release();
    auto c = std::make_unique<Cursor>(dataRoot, "session");
    for (bool ok = c->first(); ok; ok = c->next()) {
        try {
            c->edit();
        } catch (const EngineError& e) {
            if (e.isRecordLock()) continue; // another shell holds this row
            throw;
        }
        // The flag is set in the edit buffer only: the row is never posted,
        // the lock is what marks it taken.
        c->set("Session_lock", true);
        sessionId_ = static_cast<int>(c->integer("Session_id"));
        // The walk's read statement would keep the connection's read
        // snapshot open for the whole run, hiding from the shell every row
        // other programs write afterwards (a company just created). The row
        // lock does not need it.
        c->suspend();
        cursor_ = std::move(c);
        return true;
    }
    return false;
}

void SessionSlot::release() {
    if (cursor_) {
        try {
            cursor_->cancel();
        } catch (const EngineError&) {
            // The lock goes with the cursor's database in any case.
        }
        cursor_.reset();
    }
    sessionId_ = -1;
}

} // namespace vm::shell
