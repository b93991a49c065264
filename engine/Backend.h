#pragma once
// Internal to the engine: the seam between the engine and the database system
// that keeps its tables. Everything that differs between the embedded SQLite
// file and a PostgreSQL server lives behind these three classes; cursors,
// queries and the catalogue build their statements from the dialect below and
// run them through a Connection.
#include "engine/EngineError.h"
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm::fault {
struct State;
}

namespace vm::backend {

// How a column came back, for columns that are not a table's field.
enum class ColumnClass { Null, Integer, Real, Text, Blob };

// A prepared statement. Parameters are written "?" in every statement text;
// a backend that numbers them translates.
class Statement {
public:
    virtual ~Statement() = default;
    // Binds in the field's stored form (money as ten-thousandths, dates as
    // ISO text, text blanks as "").
    virtual void bind(int pos, FieldType t, const Value& v) = 0;
    // Binds by the value's own kind (queries with no field to go by).
    virtual void bindNatural(int pos, const Value& v) = 0;
    // Runs the statement on the first call, then steps; true on a row.
    // Throws EngineError (kDatabaseBusy, kKeyViolation, ...).
    virtual bool step() = 0;
    // Runs a write whose answer the caller does not read. In a transaction
    // that sends its writes in batches (see Backend::begin) the backend may
    // send it with the statements that follow: its failure then surfaces at
    // the next statement that waits for an answer, or at the commit, and
    // the transaction can only be rolled back.
    virtual void runLater() { step(); }
    // Back to before its first step, bindings cleared.
    virtual void reset() = 0;
    // Whether it has started returning rows (a fault is counted once).
    virtual bool underway() const = 0;

    virtual int columnCount() const = 0;
    virtual std::string columnName(int i) const = 0;
    virtual ColumnClass columnClass(int i) const = 0;
    virtual std::int64_t columnInt(int i) const = 0;
    virtual double columnReal(int i) const = 0;
    virtual std::string_view columnText(int i) const = 0;
    // A column stored for a field of type t; a NULL text reads as "".
    virtual Value column(int i, FieldType t) const = 0;
    // A column by its class.
    virtual Value columnNatural(int i) const = 0;
    // The row id (column 0) and then every field in order into `row`.
    virtual std::int64_t loadRow(const std::vector<FieldDef>& fields, std::vector<Value>& row) const = 0;
    // The table and field a result column is read straight from, if any.
    virtual bool columnOrigin(int i, std::string& table, std::string& field) const = 0;
    // Whether the statement only reads.
    virtual bool readOnly() const = 0;
};

// One connection to the database.
class Connection {
public:
    virtual ~Connection() = default;
    // A statement kept for reuse (persistent) or for one run.
    virtual std::unique_ptr<Statement> prepare(const std::string& text, bool persistent) = 0;
    // Runs statement text without parameters or results.
    virtual void exec(const std::string& text) = 0;
    // Rows changed by the last writing statement.
    virtual std::int64_t changes() const = 0;
    // The row id of the row an insert statement (run with insertSuffix) wrote.
    virtual std::int64_t insertedRowId(Statement& insert) = 0;
    fault::State* fault = nullptr; // the failure points of its database
};

// What statement texts differ in.
struct Dialect {
    const char* always = "1";   // a condition that holds
    const char* never = "0";    // one that never holds
    const char* isSame = "IS";  // null-safe equality
    const char* ascending = ""; // order suffix keeping blanks (NULL) first
    const char* descending = " DESC";
    // Rows a cursor reads per statement (keyset pages); 0 streams the whole
    // order from one statement. The pages after the first double in length
    // up to maxPageRows.
    int pageRows = 0;
    int maxPageRows = 0;
};

// Record locks of one database: one per record, keyed from the table and row
// id, held by one session, released when the holder's connection ends.
class RecordLocks {
public:
    virtual ~RecordLocks() = default;
    // Takes (or re-takes) the lock; throws kRecordLocked when another
    // session holds it. Counted: each lock() needs one unlock().
    void lock(const std::string& table, std::int64_t rowId);
    // Takes the lock, then reads the row with rowSql (its row id the one
    // parameter) where the lock is taken, when the backend can do both in
    // one go (a server: one round trip). The read sees what is committed
    // when the lock is held, so it is only for a caller whose own
    // connection has nothing uncommitted. nullptr when the backend read
    // nothing: the lock is then held and the caller reads the row itself.
    //
    // afterWriter: for a caller that does not hold the write lock. Once the
    // record is locked, a write in progress elsewhere is waited out (the
    // busy time-out; kBusy past it) before the row is read. That write may
    // have changed the row and let its lock go before committing: read
    // earlier, the row would be written back as it was, and the change lost.
    std::unique_ptr<Statement> lockAndRead(const std::string& table, std::int64_t rowId,
                                           const std::string& rowSql, bool afterWriter = false);
    // answerLater: for a row whose write is committed (no transaction under
    // way). The backend may let the lock go without waiting for its answer;
    // any later lock taken by a session of this thread waits for it first,
    // and another process may find the lock held for that moment (10241,
    // which a caller meets at any time and waits out).
    void unlock(const std::string& table, std::int64_t rowId, bool answerLater = false);
    // Whether another session holds the lock (takes nothing).
    bool lockedByOther(const std::string& table, std::int64_t rowId);
    bool heldHere(const std::string& table, std::int64_t rowId) const;

    // 24 bits of the table name's hash, then the low 32 bits of the row id.
    static std::int64_t keyOf(const std::string& table, std::int64_t rowId);

protected:
    virtual bool tryLock(std::int64_t key) = 0;
    // The lock, then (rowSql given) the row read after it is held, into
    // row; row stays empty when the backend does not read there.
    virtual bool tryLockAndRead(std::int64_t key, const std::string&, std::int64_t,
                                std::unique_ptr<Statement>&, bool afterWriter) {
        if (!tryLock(key)) return false;
        if (!afterWriter) return true;
        try {
            awaitWriter();
        } catch (...) {
            release(key);
            throw;
        }
        return true;
    }
    // Returns once no other connection is in a write transaction.
    virtual void awaitWriter() {}
    virtual void release(std::int64_t key) = 0;
    virtual void releaseLater(std::int64_t key) { release(key); }

private:
    std::map<std::int64_t, int> held_; // key -> count
};

// The tables of one location (a directory's file, or a schema on a server).
class Backend {
public:
    virtual ~Backend() = default;
    virtual const Dialect& dialect() const = 0;
    virtual Connection& main() = 0;
    // For SQL queries outside a write (may be main()).
    virtual Connection& reader() = 0;
    // Starts a transaction holding the database's write lock (waiting up to
    // the busy time-out, then kDatabaseBusy); commit and roll it back. A
    // batch transaction (a posting, a copy, a change of a session's work
    // tables) is all or nothing, so its writes may be sent in batches.
    virtual void begin(bool batch, bool lock = true) = 0;
    // A backend whose work tables need no write lock (see TableDef::work)
    // begins a transaction that writes one without it (lock false) and
    // takes the lock at its first other write; a write outside a
    // transaction is told beforehand whether it needs the lock.
    virtual void lockWrites() {}
    virtual void nextWriteLocks(bool) {}
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Changes whenever any connection creates, re-creates or drops a table.
    virtual std::int64_t schemaVersion() = 0;
    // Called inside the write that changed the tables.
    virtual void schemaChanged() = 0;
    virtual void setBusyTimeout(int ms) = 0;
    virtual RecordLocks& locks() = 0;

    // Table layout: the column holding the row id, the CREATE TABLE and
    // CREATE INDEX texts, and what an INSERT needs to hand back its row id.
    virtual std::string rowIdColumn(const TableDef& def) const = 0;
    // The quoted column of a field, in the statements the engine builds.
    virtual std::string column(const FieldDef& f) const = 0;
    virtual std::string createTableSql(const std::string& table, const TableDef& def) const = 0;
    virtual std::string createIndexSql(const std::string& index, const std::string& table,
                                       const TableDef& def, const std::vector<std::string>& fields,
                                       bool unique) const = 0;
    virtual std::string insertSuffix(const TableDef& def) const = 0;
    // An SQL query of the layers above in this backend's dialect; throws
    // kSql for what it cannot run.
    virtual std::string translateQuery(const std::string& text) const = 0;
    // In a batch transaction, the row id for the next row inserted into a
    // table that has no auto-increment field, taken ahead so that the insert
    // needs no answer; 0 when the insert is to hand it back itself.
    virtual std::int64_t reserveRowId(const std::string&) { return 0; }
    // After a row was inserted with an explicit auto-increment value.
    virtual void explicitRowId(const std::string&, const TableDef&, std::int64_t) {}
    // After tables (at least one) were filled in bulk and committed: a
    // backend whose planner goes by statistics gathers them now.
    virtual void tablesFilled(const std::vector<std::string>&) {}
};

// A location: a directory, or a postgresql:// URI.
bool isServerLocation(std::string_view location);

std::unique_ptr<Backend> openSqlite(const std::string& directory, int busyTimeoutMs, fault::State* fault);
std::unique_ptr<Backend> openPostgres(const std::string& location, int busyTimeoutMs, fault::State* fault);

} // namespace vm::backend
