#pragma once
// Internal to the engine: what a Database keeps beside its connection.
#include "engine/FaultInjection.h"
#include "engine/RecordLocks.h"
#include "engine/SqlUtil.h"

#include <map>
#include <memory>
#include <string>

namespace vm {

struct Database::Impl {
    sqlite3* db = nullptr;
    sqlite3* reader = nullptr; // read-only connection for SQL queries outside a write
    std::string file;
    int busyTimeoutMs = 30000;
    fault::State fault;
    std::unique_ptr<RecordLocks> locks;
    std::map<std::string, sqlite3_stmt*> cache;

    // A cached statement, reset and cleared; hand it back with release().
    sqlite3_stmt* cached(const std::string& text);
    static void release(sqlite3_stmt* st) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
    sqlite3* readerConnection();
    ~Impl();
};

// Resets a cached statement on scope exit.
class CachedStmt {
public:
    CachedStmt(Database::Impl& impl, const std::string& text) : st_(impl.cached(text)), db_(impl.db) {}
    ~CachedStmt() { Database::Impl::release(st_); }
    CachedStmt(const CachedStmt&) = delete;
    CachedStmt& operator=(const CachedStmt&) = delete;
    sqlite3_stmt* get() const { return st_; }
    bool step() {
        fault::beforeStep(st_);
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        sql::fail(db_, rc, "Executing statement");
    }

private:
    sqlite3_stmt* st_;
    sqlite3* db_;
};

} // namespace vm
