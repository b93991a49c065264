#include "engine/Database.h"
#include "engine/FaultInjection.h"
#include "engine/SqlUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>

// The embedded backend: one file valmorand.sqlite per directory in WAL mode,
// the write lock SQLite's own (BEGIN IMMEDIATE), record locks as byte-range
// locks on valmorand.lock beside it.
namespace vm::backend {

namespace {

void bindValue(sqlite3_stmt* st, int pos, FieldType t, const Value& v) {
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo: {
        std::string s = v.asString();
        sqlite3_bind_text(st, pos, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        break;
    }
    if (v.isNull()) {
        sqlite3_bind_null(st, pos);
        return;
    }
    switch (t) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc:
        sqlite3_bind_int64(st, pos, v.asInt());
        break;
    case FieldType::Float:
        sqlite3_bind_double(st, pos, v.asDouble());
        break;
    case FieldType::Money:
        sqlite3_bind_int64(st, pos, v.asMoney().raw());
        break;
    case FieldType::Boolean:
        sqlite3_bind_int(st, pos, v.asBool() ? 1 : 0);
        break;
    case FieldType::Date: {
        std::string s = v.asDate().toIso();
        sqlite3_bind_text(st, pos, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::DateTime: {
        std::string s = v.asDateTime().toIso();
        sqlite3_bind_text(st, pos, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::Time: {
        std::string s = v.asTime().toIso();
        sqlite3_bind_text(st, pos, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::Blob:
    case FieldType::Bytes: {
        Bytes b = v.asBytes();
        sqlite3_bind_blob(st, pos, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        break;
    }
}

void bindNaturalValue(sqlite3_stmt* st, int pos, const Value& v) {
    const auto& s = v.storage();
    if (v.isNull())
        sqlite3_bind_null(st, pos);
    else if (auto i = std::get_if<std::int64_t>(&s))
        sqlite3_bind_int64(st, pos, *i);
    else if (auto d = std::get_if<double>(&s))
        sqlite3_bind_double(st, pos, *d);
    else if (std::holds_alternative<Money>(s))
        bindValue(st, pos, FieldType::Money, v);
    else if (std::holds_alternative<Date>(s))
        bindValue(st, pos, FieldType::Date, v);
    else if (std::holds_alternative<DateTime>(s))
        bindValue(st, pos, FieldType::DateTime, v);
    else if (std::holds_alternative<Time>(s))
        bindValue(st, pos, FieldType::Time, v);
    else if (std::holds_alternative<bool>(s))
        bindValue(st, pos, FieldType::Boolean, v);
    else if (std::holds_alternative<Bytes>(s))
        bindValue(st, pos, FieldType::Blob, v);
    else
        bindValue(st, pos, FieldType::Text, v);
}

Value readColumn(sqlite3_stmt* st, int col, FieldType t) {
    int ct = sqlite3_column_type(st, col);
    if (ct == SQLITE_NULL) {
        if (t == FieldType::Text || t == FieldType::Memo) return Value(std::string());
        return Value();
    }
    auto text = [&]() {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
    };
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
        return Value(text());
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc:
        return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
    case FieldType::Float:
        return Value(sqlite3_column_double(st, col));
    case FieldType::Money:
        return Value(Money::fromRaw(sqlite3_column_int64(st, col)));
    case FieldType::Boolean:
        return Value(sqlite3_column_int(st, col) != 0);
    case FieldType::Date:
        return Value(Date::fromIso(text()).value_or(Date()));
    case FieldType::DateTime:
        return Value(DateTime::fromIso(text()).value_or(DateTime()));
    case FieldType::Time:
        return Value(Time::fromIso(text()).value_or(Time()));
    case FieldType::Blob:
    case FieldType::Bytes: {
        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(st, col));
        int n = sqlite3_column_bytes(st, col);
        return Value(Bytes(p, p + n));
    }
    }
    return Value();
}

Value readNatural(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return Value();
    case SQLITE_INTEGER:
        return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(st, col));
    case SQLITE_BLOB:
        return readColumn(st, col, FieldType::Blob);
    default:
        return readColumn(st, col, FieldType::Text);
    }
}

const char* sqlType(FieldType t) {
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::Time:
        return "TEXT";
    case FieldType::Float:
        return "REAL";
    case FieldType::Blob:
    case FieldType::Bytes:
        return "BLOB";
    default:
        return "INTEGER";
    }
}

[[noreturn]] void fail(sqlite3* db, int rc, const std::string& what) {
    int ext = sqlite3_extended_errcode(db);
    std::string msg = what + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw EngineError(errc::kKeyViolation, "Key violation. " + msg);
    if (ext == SQLITE_CONSTRAINT_NOTNULL)
        throw EngineError(errc::kRequiredField, "Field value required. " + msg);
    if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
        throw EngineError(errc::kDatabaseBusy, "Database is busy: " + msg);
    throw EngineError(errc::kSql, msg);
}

class SqliteStatement final : public Statement {
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* st, fault::State* fault) : db_(db), st_(st), fault_(fault) {}
    ~SqliteStatement() override { sqlite3_finalize(st_); }
    void bind(int pos, FieldType t, const Value& v) override { bindValue(st_, pos, t, v); }
    void bindNatural(int pos, const Value& v) override { bindNaturalValue(st_, pos, v); }
    bool step() override {
        fault::beforeStep(fault_, sqlite3_stmt_busy(st_) != 0);
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(db_, rc, "Executing statement");
    }
    void reset() override {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
    bool underway() const override { return sqlite3_stmt_busy(st_) != 0; }
    int columnCount() const override { return sqlite3_column_count(st_); }
    std::string columnName(int i) const override {
        const char* n = sqlite3_column_name(st_, i);
        return n ? n : "";
    }
    ColumnClass columnClass(int i) const override {
        switch (sqlite3_column_type(st_, i)) {
        case SQLITE_INTEGER:
            return ColumnClass::Integer;
        case SQLITE_FLOAT:
            return ColumnClass::Real;
        case SQLITE_TEXT:
            return ColumnClass::Text;
        case SQLITE_BLOB:
            return ColumnClass::Blob;
        default:
            return ColumnClass::Null;
        }
    }
    std::int64_t columnInt(int i) const override { return sqlite3_column_int64(st_, i); }
    double columnReal(int i) const override { return sqlite3_column_double(st_, i); }
    std::string_view columnText(int i) const override {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
        return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(st_, i)))
                 : std::string_view();
    }
    Value column(int i, FieldType t) const override { return readColumn(st_, i, t); }
    Value columnNatural(int i) const override { return readNatural(st_, i); }
    std::int64_t loadRow(const std::vector<FieldDef>& fields, std::vector<Value>& row) const override {
        for (std::size_t i = 0; i < fields.size(); ++i)
            row[i] = readColumn(st_, static_cast<int>(i + 1), fields[i].type);
        return sqlite3_column_int64(st_, 0);
    }
    bool columnOrigin(int i, std::string& table, std::string& field) const override {
        const char* t = sqlite3_column_table_name(st_, i);
        const char* o = sqlite3_column_origin_name(st_, i);
        if (!t || !o) return false;
        table = t;
        field = o;
        return true;
    }
    bool readOnly() const override { return sqlite3_stmt_readonly(st_) != 0; }

private:
    sqlite3* db_;
    sqlite3_stmt* st_;
    fault::State* fault_;
};

// A file URI for SQLite: the path with '%', '?' and '#' escaped.
std::string fileUri(const std::string& path, const char* query) {
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static const char* hex = "0123456789ABCDEF";
            uri += '%';
            uri += hex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            uri += hex[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + query;
}

// With `immutable`, the file is read as it stands, without a write-ahead
// log, shared memory or locks beside it: the tables shipped with the
// program (its language tables) in a folder the user cannot write.
sqlite3* openConnection(const std::string& file, bool readOnly, int busyTimeoutMs, bool immutable = false) {
    sqlite3* db = nullptr;
    int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const std::string name = immutable ? fileUri(file, "?immutable=1") : file;
    if (immutable) flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw EngineError(errc::kIo, "Cannot open database " + file + ": " + m);
    }
    // Writers wait for each other; postings are short.
    sqlite3_busy_timeout(db, busyTimeoutMs);
    return db;
}

class SqliteConnection final : public Connection {
public:
    SqliteConnection(sqlite3* db, fault::State* f) : db_(db) { fault = f; }
    ~SqliteConnection() override { sqlite3_close_v2(db_); }
    sqlite3* handle() const { return db_; }
    std::unique_ptr<Statement> prepare(const std::string& text, bool persistent) override {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v3(db_, text.c_str(), static_cast<int>(text.size()),
                                    persistent ? SQLITE_PREPARE_PERSISTENT : 0, &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            fail(db_, rc, "Preparing statement");
        }
        return std::make_unique<SqliteStatement>(db_, st, fault);
    }
    void exec(const std::string& text) override {
        fault::beforeStatement(fault, text == "ROLLBACK");
        char* err = nullptr;
        int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            std::string m = err ? err : "";
            sqlite3_free(err);
            fail(db_, rc, m.empty() ? text : m);
        }
    }
    std::int64_t changes() const override { return sqlite3_changes64(db_); }
    std::int64_t insertedRowId(Statement&) override { return sqlite3_last_insert_rowid(db_); }

private:
    sqlite3* db_;
};

// Byte-range locks on the lock file beside a database, one byte per record
// at the record's key. They are open-file-description locks (F_OFD_SETLK):
// they conflict between processes and between two sessions of one process
// (each opens the file itself), and the kernel drops them when the holder
// dies.
class FileRecordLocks final : public RecordLocks {
public:
    FileRecordLocks(const std::string& path, std::function<void()> awaitWriter)
        : awaitWriter_(std::move(awaitWriter)) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EngineError(errc::kIo, "Cannot open the lock file " + path + ": " + std::strerror(errno));
    }
    ~FileRecordLocks() override { ::close(fd_); } // releases every lock of this description

protected:
    bool tryLock(std::int64_t offset) override {
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = offset;
        fl.l_len = 1;
        if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return true;
        if (errno == EAGAIN || errno == EACCES) return false;
        throw EngineError(errc::kIo, std::string("Record lock failed: ") + std::strerror(errno));
    }
    void awaitWriter() override { awaitWriter_(); }
    void release(std::int64_t offset) override {
        struct flock fl {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = offset;
        fl.l_len = 1;
        ::fcntl(fd_, F_OFD_SETLK, &fl);
    }

private:
    int fd_ = -1;
    std::function<void()> awaitWriter_;
};

// The locks of a folder opened read-only: there is nothing to edit there, so
// taking a lock is refused as a write would be.
class NoRecordLocks final : public RecordLocks {
protected:
    bool tryLock(std::int64_t) override {
        throw EngineError(errc::kReadOnly, "The tables of this folder can only be read");
    }
    void release(std::int64_t) override {}
};

const Dialect kSqliteDialect{};

class SqliteBackend final : public Backend {
public:
    SqliteBackend(const std::string& dir, int busyTimeoutMs, fault::State* f)
        : busyMs_(busyTimeoutMs), fault_(f) {
        namespace fs = std::filesystem;
        file_ = (fs::path(dir) / Database::kFileName).string();
        // A database in a folder this user cannot write (the program's own
        // tables, installed by the system) is only read: nothing is created
        // beside it and nothing in it can change while the program runs.
        std::error_code ec;
        immutable_ = ::access(dir.c_str(), W_OK) != 0 && fs::is_regular_file(file_, ec);
        if (immutable_) {
            main_ = std::make_unique<SqliteConnection>(openConnection(file_, true, busyTimeoutMs, true), f);
            locks_ = std::make_unique<NoRecordLocks>();
            version_ = main_->prepare("PRAGMA schema_version", true);
            return;
        }
        main_ = std::make_unique<SqliteConnection>(openConnection(file_, false, busyTimeoutMs), f);
        main_->exec("PRAGMA journal_mode=WAL");
        // Accounting data: a committed posting survives a power cut or an
        // operating-system crash (NORMAL may lose the last commits in WAL).
        main_->exec("PRAGMA synchronous=FULL");
        auto probe =
            main_->prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name='_vm_catalog'", false);
        if (!probe->step())
            main_->exec("CREATE TABLE IF NOT EXISTS _vm_catalog (name TEXT PRIMARY KEY, display TEXT NOT "
                        "NULL, def TEXT NOT NULL)");
        locks_ = std::make_unique<FileRecordLocks>((fs::path(dir) / Database::kLockFileName).string(),
                                                   [this] { awaitWriter(); });
        version_ = main_->prepare("PRAGMA schema_version", true);
    }
    ~SqliteBackend() override {
        version_.reset();
        reader_.reset();
    }
    sqlite3* handle() const { return main_->handle(); }

    const Dialect& dialect() const override { return kSqliteDialect; }
    Connection& main() override { return *main_; }
    Connection& reader() override {
        if (!reader_)
            reader_ =
                std::make_unique<SqliteConnection>(openConnection(file_, true, busyMs_, immutable_), fault_);
        return *reader_;
    }
    // The write lock taken and let go at once: a writer holding it is
    // waited out (the busy time-out). A connection in a transaction holds it
    // already.
    void awaitWriter() {
        sqlite3* db = main_->handle();
        if (!sqlite3_get_autocommit(db)) return;
        char* err = nullptr;
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, &err);
        if (rc == SQLITE_OK) return;
        std::string m = err ? err : "";
        sqlite3_free(err);
        if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        fail(db, rc, m);
    }
    // One file, one write lock: work tables take it too.
    void begin(bool, bool) override { main_->exec("BEGIN IMMEDIATE"); }
    void commit() override { main_->exec("COMMIT"); }
    void rollback() override { main_->exec("ROLLBACK"); }
    std::int64_t schemaVersion() override {
        const std::int64_t v = version_->step() ? version_->columnInt(0) : -1;
        version_->reset();
        return v;
    }
    void schemaChanged() override {}
    void setBusyTimeout(int ms) override {
        busyMs_ = ms;
        sqlite3_busy_timeout(main_->handle(), ms);
        if (reader_) sqlite3_busy_timeout(reader_->handle(), ms);
    }
    RecordLocks& locks() override { return *locks_; }

    std::string rowIdColumn(const TableDef&) const override { return "rowid"; }
    std::string column(const FieldDef& f) const override { return sql::quoteIdent(f.name); }
    std::string createTableSql(const std::string& n, const TableDef& def) const override {
        std::string ddl = "CREATE TABLE " + sql::quoteIdent(n) + " (";
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
            const auto& f = def.fields[i];
            ddl += (i ? ", " : "") + sql::quoteIdent(f.name) + " " + sqlType(f.type);
            if (f.type == FieldType::AutoInc) ddl += " PRIMARY KEY";
        }
        return ddl + ")";
    }
    std::string createIndexSql(const std::string& index, const std::string& table, const TableDef&,
                               const std::vector<std::string>& fields, bool unique) const override {
        std::string cols;
        for (std::size_t i = 0; i < fields.size(); ++i)
            cols += (i ? ", " : "") + sql::quoteIdent(fields[i]);
        return std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + sql::quoteIdent(index) +
               " ON " + sql::quoteIdent(table) + " (" + cols + ")";
    }
    std::string insertSuffix(const TableDef&) const override { return {}; }
    std::string translateQuery(const std::string& text) const override { return text; }

private:
    std::string file_;
    int busyMs_;
    fault::State* fault_;
    std::unique_ptr<SqliteConnection> main_, reader_;
    std::unique_ptr<RecordLocks> locks_;
    std::unique_ptr<Statement> version_;
    bool immutable_ = false;
};

} // namespace

std::unique_ptr<Backend> openSqlite(const std::string& directory, int busyTimeoutMs, fault::State* fault) {
    return std::make_unique<SqliteBackend>(directory, busyTimeoutMs, fault);
}

sqlite3* sqliteHandle(Backend& b) {
    auto* s = dynamic_cast<SqliteBackend*>(&b);
    return s ? s->handle() : nullptr;
}

} // namespace vm::backend
