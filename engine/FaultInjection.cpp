#include "engine/FaultInjection.h"

#include "engine/EngineError.h"

namespace vm::fault {

int armedCount = 0;

void beforeStatement(State* state, bool rollback) {
    if (armedCount == 0 || !state || state->nth == 0) return;
    State& s = *state;
    if (++s.count != s.nth || rollback || s.fired) return;
    s.fired = true;
    if (s.kind == FaultKind::Busy)
        throw EngineError(errc::kDatabaseBusy,
                          "Database is busy: injected at statement " + std::to_string(s.nth));
    throw EngineError(errc::kIo, "Injected failure at statement " + std::to_string(s.nth));
}

} // namespace vm::fault
