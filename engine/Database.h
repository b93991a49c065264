#pragma once
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

struct sqlite3;

namespace vm {

class Cursor;
class Query;
struct TableShape;

// What an injected fault does (Database::injectFault).
enum class FaultKind { Fail, Busy };

// The tables of one directory, kept in its file valmorand.sqlite (WAL mode,
// synchronous=FULL), with the field list and index definitions of every
// table. Table names are file stems, case-insensitive, with a ".db" suffix
// ignored ("ctrl.DB" is "ctrl"). One Database belongs to one Session.
class Database {
public:
    static constexpr const char* kFileName = "valmorand.sqlite";
    static constexpr const char* kLockFileName = "valmorand.lock";

    // A directory (the embedded SQLite file) or a postgresql:// URI naming a
    // database on a server, with the schema after '#' ("...#company1").
    explicit Database(const std::string& location);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& directory() const { return dir_; }
    // "cli.DB" -> "cli". Throws kTableNotFound for a name that is not a plain
    // stem (letters, digits, '_'), so that no name reaches SQL unchecked.
    static std::string canonicalName(std::string_view tableName);

    bool tableExists(std::string_view name);
    std::vector<std::string> tableNames();    // as created, sorted case-insensitively
    TableDef tableDef(std::string_view name); // throws kTableNotFound

    // Creates a table from its definition. With replace, an existing table of
    // that name is dropped first; otherwise it throws kTableExists.
    void createTable(const TableDef& def, bool replace = false);
    // Creates `newName` here with the fields and indexes of `templateName` in
    // `source` (which may be this database), replacing any table of that name;
    // a work table (TableDef::work) when `work`.
    void createTableFrom(Database& source, std::string_view templateName, std::string_view newName,
                         bool work = false);
    void emptyTable(std::string_view name);
    // Copies every table of `source` here: definitions, rows and row ids, in
    // one transaction. Refuses (kTableExists) when this database holds a
    // table already. Copies between backends (a directory to a server).
    // With replace, the tables here are dropped first, in the same
    // transaction.
    void copyFrom(Database& source, bool replace = false);
    void dropTable(std::string_view name); // no error when absent

    // Local transaction. start() takes no lock: SQLite's write lock is taken
    // at the first write and held until commit or rollback, so a user sitting
    // in an edit holds only the record's lock. With immediate, the write lock
    // is taken at once (postings, which are short and must read what they
    // are about to change under the lock). Nesting is not supported: start()
    // inside a transaction throws kTransaction. An immediate transaction,
    // and one started as a batch, is all or nothing: its caller rolls it back
    // on any failure, so the backend may send its writes without waiting for
    // each answer (a failure then surfaces at a later statement or at the
    // commit). A batch that is not immediate takes the lock at its first
    // write to a shared table, as any transaction does.
    void startTransaction(bool immediate = false, bool batch = false);
    void commit();
    void rollback();
    bool inTransaction() const { return inTx_; }
    // A transaction that has written (holds SQLite's write lock).
    bool writing() const { return txBegun_; }
    // A transaction that holds the write lock of every backend: no other
    // connection is writing shared tables.
    bool holdsWriteLock() const { return txBegun_ && txLocked_; }

    // Runs a writing SQL statement with bound parameters; returns the number
    // of rows changed. Joins the open transaction, if any.
    std::int64_t execute(const std::string& sql, const std::vector<Value>& params = {});

    // How long a statement waits for another connection's write lock before
    // it fails with kDatabaseBusy (30 s unless set).
    void setBusyTimeout(int ms);

    // For tests only: the Nth statement started on this database's
    // connections from now on fails (kIo) or meets a busy database
    // (kDatabaseBusy) without running; a ROLLBACK is counted but never
    // failed. nth = 0 disarms. faultFired() tells whether the Nth was reached.
    void injectFault(int nth, FaultKind kind = FaultKind::Fail);
    bool faultFired() const;

    // An exclusive lock on a name of this location that is no record (the
    // creation lock of a data root on a server): a record lock on row 0 of
    // that name, which no row ever has, so it meets only the same name's
    // lock. Held by this Database until released or closed, and dropped with
    // its connection like every record lock. False when another session
    // holds it; never waits.
    bool tryLockName(std::string_view name);
    void unlockName(std::string_view name);

    // For benchmarks that compare with plain SQLite on the same file (null
    // on a server).
    sqlite3* rawHandle();
    // Whether the tables are on a PostgreSQL server.
    bool isServer() const;
    // Whether a location names a server (postgresql:// or postgres://).
    static bool isServerLocation(std::string_view location);

    // --- used by Cursor and Query ---
    // The table's definition and the statement texts built from it, read
    // from the catalogue once and kept while the schema is unchanged (any
    // connection creating, re-creating or dropping a table changes it).
    std::shared_ptr<const TableShape> tableShape(std::string_view name);
    struct Impl;
    Impl& impl() { return *impl_; }
    // Ends the read of every open cursor before a write, so that the write
    // transaction can start on a current snapshot; cursors re-seek lazily.
    void suspendReaders();
    // Before a write: begins the transaction that has not written yet, and
    // takes the write lock unless the write goes to a work table.
    void beginWrite(bool work = false);
    void afterWrite(); // bookkeeping after a successful write statement
    // When a row was read: the count of this process's writes, commits and
    // rollbacks, and the span of this transaction's write lock (0 when it
    // holds none).
    struct ReadMark {
        std::uint64_t writes = 0;
        std::uint64_t lockSpan = 0;
        bool valid = false;
    };
    ReadMark readMark() const;
    // Whether a row read at `m` is still as stored, so that an edit needs not
    // read it again: nothing in this process has written, committed or rolled
    // back since, and either the table is a work table (its session's alone)
    // or the row was read under the write lock this transaction still holds,
    // so that no other session can have written it.
    bool stillCurrent(const ReadMark& m, bool work) const;
    void registerCursor(Cursor* c);
    void unregisterCursor(Cursor* c);
    void registerQuery(Query* q);
    void unregisterQuery(Query* q);

private:
    // Rows inserted into a work table in one transaction from which the
    // backend is told that the table was filled.
    static constexpr int kFilledRows = 200;
    void statisticsOf(const std::vector<std::string>& tables);
    // Whether the cached table shapes are of the current schema (they are
    // dropped when not).
    bool shapesCurrent();
    // The kept shape of a work table, when nothing in this process has
    // changed tables since it was read.
    std::shared_ptr<const TableShape> workShape(const std::string& canonical) const;
    TableDef readTableDef(const std::string& canonical, std::string_view name);

    std::string dir_;
    std::unique_ptr<Impl> impl_;
    bool inTx_ = false;
    bool txBegun_ = false;                       // BEGIN issued to SQLite
    bool txImmediate_ = false;                   // the write lock was taken at the start
    bool txBatch_ = false;                       // its writes may be sent in batches
    bool txLocked_ = false;                      // the transaction holds the write lock
    std::uint64_t lockSpans_ = 0, lockSpan_ = 0; // the current hold of the write lock, 0 when none
    std::set<Cursor*> cursors_;
    std::set<Query*> queries_;
};

// Rolls back unless committed (start on construction).
class Transaction {
public:
    explicit Transaction(Database& db, bool immediate = false, bool batch = false);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

} // namespace vm
