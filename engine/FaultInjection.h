#pragma once
// Internal to the engine: the failure points tests arm through
// Database::injectFault. Inert (one integer compare per statement) unless
// armed.
#include "engine/Database.h"

namespace vm::fault {

extern int armedCount; // databases with a fault armed

struct State {
    int nth = 0; // 0: disarmed
    FaultKind kind = FaultKind::Fail;
    int count = 0; // statements started since arming
    bool fired = false;
};

// Called before a statement starts on a connection of the database whose
// failure points are `state` (may be null): counts it and throws the armed
// failure when it is the Nth. A ROLLBACK is counted but never failed: it is
// the way back from every other failure.
void beforeStatement(State* state, bool rollback = false);
// The same for a prepared statement about to be stepped; a statement already
// under way (returning rows) is not counted again.
inline void beforeStep(State* state, bool underway) {
    if (armedCount > 0 && !underway) beforeStatement(state);
}

} // namespace vm::fault
