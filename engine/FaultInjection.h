#pragma once
// Internal to the engine: the failure points tests arm through
// Database::injectFault. Inert (one integer compare per statement) unless
// armed.
#include "engine/Database.h"

#include <sqlite3.h>

namespace vm::fault {

extern int armedCount; // databases with a fault armed

struct State {
    int nth = 0; // 0: disarmed
    FaultKind kind = FaultKind::Fail;
    int count = 0; // statements started since arming
    bool fired = false;
};

void attach(sqlite3* db, State* state);
void detach(sqlite3* db);
// Called before a statement starts on `db`: counts it and throws the armed
// failure when it is the Nth. A ROLLBACK is counted but never failed: it is
// the way back from every other failure.
void beforeStatement(sqlite3* db, bool rollback = false);
// The same for a prepared statement about to be stepped; a statement already
// under way (returning rows) is not counted again.
inline void beforeStep(sqlite3_stmt* st) {
    if (armedCount > 0 && !sqlite3_stmt_busy(st)) beforeStatement(sqlite3_db_handle(st));
}

} // namespace vm::fault
