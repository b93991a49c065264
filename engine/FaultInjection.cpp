#include "engine/FaultInjection.h"

#include "engine/EngineError.h"

#include <map>

namespace vm::fault {

int armedCount = 0;

namespace {
std::map<sqlite3*, State*>& connections() {
    // Never destroyed: databases of static sessions close after it would be.
    static auto* m = new std::map<sqlite3*, State*>;
    return *m;
}
} // namespace

void attach(sqlite3* db, State* state) {
    connections()[db] = state;
}

void detach(sqlite3* db) {
    connections().erase(db);
}

void beforeStatement(sqlite3* db, bool rollback) {
    if (armedCount == 0) return;
    auto it = connections().find(db);
    if (it == connections().end() || it->second->nth == 0) return;
    State& s = *it->second;
    if (++s.count != s.nth || rollback || s.fired) return;
    s.fired = true;
    if (s.kind == FaultKind::Busy)
        throw EngineError(errc::kDatabaseBusy,
                          "Database is busy: injected at statement " + std::to_string(s.nth));
    throw EngineError(errc::kIo, "Injected failure at statement " + std::to_string(s.nth));
}

} // namespace vm::fault
