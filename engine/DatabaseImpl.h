#pragma once
// Internal to the engine: what a Database keeps beside its connection.
#include "engine/FaultInjection.h"
#include "engine/RecordLocks.h"
#include "engine/SqlUtil.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace vm {

struct TableShape {
    TableDef def;
    std::string selectSql; // SELECT rowid, every field FROM the table
};

struct Database::Impl {
    sqlite3* db = nullptr;
    sqlite3* reader = nullptr; // read-only connection for SQL queries outside a write
    std::string file;
    int busyTimeoutMs = 30000;
    fault::State fault;
    std::unique_ptr<RecordLocks> locks;
    std::map<std::string, sqlite3_stmt*> cache;
    // Table shapes by canonical name, valid for one schema version.
    std::map<std::string, std::shared_ptr<const TableShape>, std::less<>> shapes;
    std::int64_t shapesVersion = -1;
    // Prepared statements of cursor reads not in use, by text: a cursor
    // takes one for its live read and gives it back when the read ends.
    std::unordered_multimap<std::string, sqlite3_stmt*> idle;

    sqlite3_stmt* take(const std::string& text);
    void giveBack(std::string text, sqlite3_stmt* st);

    // A cached statement, reset and cleared; hand it back with release().
    sqlite3_stmt* cached(const std::string& text);
    static void release(sqlite3_stmt* st) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
    sqlite3* readerConnection();
    ~Impl();
};

// A pooled statement for one read, given back on scope exit.
class PooledStmt {
public:
    PooledStmt(Database::Impl& impl, std::string text)
        : impl_(impl), text_(std::move(text)), st_(impl.take(text_)) {}
    ~PooledStmt() { impl_.giveBack(std::move(text_), st_); }
    PooledStmt(const PooledStmt&) = delete;
    PooledStmt& operator=(const PooledStmt&) = delete;
    sqlite3_stmt* get() const { return st_; }
    bool step() {
        fault::beforeStep(st_);
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        sql::fail(impl_.db, rc, "Executing statement");
    }

private:
    Database::Impl& impl_;
    std::string text_;
    sqlite3_stmt* st_;
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
