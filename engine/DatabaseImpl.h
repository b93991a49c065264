#pragma once
// Internal to the engine: what a Database keeps beside its backend.
#include "engine/Backend.h"
#include "engine/FaultInjection.h"
#include "engine/SqlUtil.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace vm {

struct TableShape {
    TableDef def;
    std::string selectSql;   // SELECT row id, every field FROM the table
    std::string rowId;       // the column holding the row id
    std::uint64_t epoch = 0; // the process's table changes when it was read
};

struct Database::Impl {
    using Stmt = std::unique_ptr<backend::Statement>;

    int busyTimeoutMs = 30000;
    fault::State fault;
    std::unique_ptr<backend::Backend> be; // destroyed after the statements below
    backend::Connection* db = nullptr;    // be->main()
    const backend::Dialect* dialect = nullptr;
    std::map<std::string, Stmt> cache;
    // Table shapes by canonical name, valid for one schema version.
    std::map<std::string, std::shared_ptr<const TableShape>, std::less<>> shapes;
    std::int64_t shapesVersion = -1;
    // Prepared statements of cursor reads not in use, by text: a cursor
    // takes one for its live read and gives it back when the read ends.
    std::unordered_multimap<std::string, Stmt> idle;
    // Rows the cursors of the open transaction inserted into work tables:
    // a work table filled with many (for a window or a report to read) is
    // handed to Backend::tablesFilled at the commit. The shared tables grow
    // a little at a time, and the server keeps their statistics itself.
    std::map<std::string, int> inserted;

    Stmt take(const std::string& text);
    void giveBack(std::string text, Stmt st);

    // A cached statement, reset and cleared; hand it back with release().
    backend::Statement& cached(const std::string& text);
    ~Impl();
};

// A pooled statement for one read, given back on scope exit.
class PooledStmt {
public:
    PooledStmt(Database::Impl& impl, std::string text)
        : impl_(impl), text_(std::move(text)), st_(impl.take(text_)) {}
    ~PooledStmt() { impl_.giveBack(std::move(text_), std::move(st_)); }
    PooledStmt(const PooledStmt&) = delete;
    PooledStmt& operator=(const PooledStmt&) = delete;
    backend::Statement* operator->() const { return st_.get(); }
    backend::Statement& get() const { return *st_; }
    bool step() { return st_->step(); }

private:
    Database::Impl& impl_;
    std::string text_;
    Database::Impl::Stmt st_;
};

// Resets a cached statement on scope exit.
class CachedStmt {
public:
    CachedStmt(Database::Impl& impl, const std::string& text) : st_(impl.cached(text)) {}
    ~CachedStmt() { st_.reset(); }
    CachedStmt(const CachedStmt&) = delete;
    CachedStmt& operator=(const CachedStmt&) = delete;
    backend::Statement* operator->() const { return &st_; }
    backend::Statement& get() const { return st_; }
    bool step() { return st_.step(); }

private:
    backend::Statement& st_;
};

} // namespace vm
