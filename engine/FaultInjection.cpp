#include "engine/FaultInjection.h"

#include "engine/EngineError.h"

#include <map>
#include <new>

namespace vm::fault {

int armedCount = 0;

namespace {
using Connections = std::map<sqlite3*, State*>;

Connections& connections() {
    // Never destroyed: databases of static sessions close after it would be.
    // It lives in static storage, not on the heap, so that a module library
    // unloaded with its databases closed leaves nothing behind.
    alignas(Connections) static unsigned char storage[sizeof(Connections)];
    static Connections* m = new (storage) Connections;
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
