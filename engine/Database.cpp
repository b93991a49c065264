#include "engine/Database.h"

#include "engine/Cursor.h"
#include "engine/DatabaseImpl.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sstream>

namespace vm {

namespace {
constexpr const char* kCatalog = "_vm_catalog";

bool validIdent(std::string_view s) {
    if (s.empty() || s.size() > 64) return false;
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == ',' || c == '\t' || c == ';')
            return false;
    return true;
}

std::string serialize(const TableDef& def) {
    std::ostringstream o;
    for (const auto& f : def.fields)
        o << "F\t" << f.name << '\t' << static_cast<int>(f.type) << '\t' << f.size << '\t'
          << (f.required ? 1 : 0) << '\n';
    auto join = [](const std::vector<std::string>& v) {
        std::string r;
        for (std::size_t i = 0; i < v.size(); ++i)
            r += (i ? "," : "") + v[i];
        return r;
    };
    if (!def.primaryKey.empty()) o << "P\t" << join(def.primaryKey) << '\n';
    for (const auto& ix : def.indexes)
        o << "I\t" << ix.name << '\t' << (ix.unique ? 1 : 0) << '\t' << join(ix.fields) << '\n';
    return o.str();
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, sep))
        out.push_back(cur);
    return out;
}

// Reads a table's catalogue entry, refusing a damaged one: a table opened
// on a wrong definition would write NULLs where money belongs.
TableDef deserialize(const std::string& name, const std::string& text) {
    auto damaged = [&](const std::string& what) {
        return EngineError(errc::kBadCatalog, "The definition of table " + name + " is damaged: " + what);
    };
    auto number = [&](const std::string& s, const std::string& what) {
        int n = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
        if (s.empty() || ec != std::errc() || end != s.data() + s.size() || n < 0)
            throw damaged(what + " is not a number: '" + s + "'");
        return n;
    };
    auto flag = [&](const std::string& s, const std::string& what) {
        if (s != "0" && s != "1") throw damaged(what + " is not 0 or 1: '" + s + "'");
        return s == "1";
    };
    TableDef def;
    def.name = name;
    std::vector<std::vector<std::string>> keys;
    for (const auto& line : split(text, '\n')) {
        auto parts = split(line, '\t');
        if (parts.empty() || line.empty()) continue;
        if (parts[0] == "F" && parts.size() == 5) {
            if (!validIdent(parts[1])) throw damaged("invalid field name '" + parts[1] + "'");
            const int type = number(parts[2], "the type of field " + parts[1]);
            if (type > static_cast<int>(FieldType::AutoInc))
                throw damaged("field " + parts[1] + " has an unknown type " + parts[2]);
            def.fields.push_back({parts[1], static_cast<FieldType>(type),
                                  number(parts[3], "the size of field " + parts[1]),
                                  flag(parts[4], "the required flag of field " + parts[1])});
        } else if (parts[0] == "P" && parts.size() == 2) {
            def.primaryKey = split(parts[1], ',');
            keys.push_back(def.primaryKey);
        } else if (parts[0] == "I" && parts.size() == 4) {
            if (!validIdent(parts[1])) throw damaged("invalid index name '" + parts[1] + "'");
            def.indexes.push_back({parts[1], split(parts[3], ','), flag(parts[2], "index " + parts[1])});
            keys.push_back(def.indexes.back().fields);
        } else {
            throw damaged("unreadable line '" + line + "'");
        }
    }
    if (def.fields.empty()) throw damaged("no fields");
    for (const auto& k : keys) {
        if (k.empty()) throw damaged("a key without fields");
        for (const auto& f : k)
            if (def.fieldIndex(f) < 0) throw damaged("a key names no field '" + f + "'");
    }
    return def;
}

sqlite3* openConnection(const std::string& file, bool readOnly, int busyTimeoutMs) {
    sqlite3* db = nullptr;
    int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    int rc = sqlite3_open_v2(file.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw EngineError(errc::kIo, "Cannot open database " + file + ": " + m);
    }
    // Writers wait for each other; postings are short.
    sqlite3_busy_timeout(db, busyTimeoutMs);
    return db;
}
} // namespace

sqlite3_stmt* Database::Impl::cached(const std::string& text) {
    auto it = cache.find(text);
    if (it != cache.end()) return it->second;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v3(db, text.c_str(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT,
                                &st, nullptr);
    if (rc != SQLITE_OK) sql::fail(db, rc, "Preparing statement");
    cache.emplace(text, st);
    return st;
}

sqlite3_stmt* Database::Impl::take(const std::string& text) {
    auto it = idle.find(text);
    if (it != idle.end()) {
        sqlite3_stmt* st = it->second;
        idle.erase(it);
        return st;
    }
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v3(db, text.c_str(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT,
                                &st, nullptr);
    if (rc != SQLITE_OK) sql::fail(db, rc, "Preparing statement");
    return st;
}

void Database::Impl::giveBack(std::string text, sqlite3_stmt* st) {
    if (!st) return;
    release(st);
    // Bounded: reads by many shapes (ranges on long keys) are let go.
    if (idle.size() >= 256) {
        sqlite3_finalize(st);
        return;
    }
    idle.emplace(std::move(text), st);
}

sqlite3* Database::Impl::readerConnection() {
    if (!reader) {
        reader = openConnection(file, true, busyTimeoutMs);
        fault::attach(reader, &fault);
    }
    return reader;
}

Database::Impl::~Impl() {
    for (auto& [k, st] : cache)
        sqlite3_finalize(st);
    for (auto& [k, st] : idle)
        sqlite3_finalize(st);
    if (reader) {
        fault::detach(reader);
        sqlite3_close(reader);
    }
    if (db) fault::detach(db);
    if (fault.nth > 0) --fault::armedCount;
}

Database::Database(const std::string& directory) : dir_(directory), impl_(std::make_unique<Impl>()) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dir_, ec)) throw EngineError(errc::kDirectory, "Directory does not exist: " + dir_);
    impl_->file = (fs::path(dir_) / kFileName).string();
    db_ = openConnection(impl_->file, false, impl_->busyTimeoutMs);
    impl_->db = db_;
    fault::attach(db_, &impl_->fault);
    try {
        sql::execSimple(db_, "PRAGMA journal_mode=WAL");
        // Accounting data: a committed posting survives a power cut or an
        // operating-system crash (NORMAL may lose the last commits in WAL).
        sql::execSimple(db_, "PRAGMA synchronous=FULL");
        sql::Stmt probe(db_, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='_vm_catalog'");
        if (!probe.step())
            sql::execSimple(db_, std::string("CREATE TABLE IF NOT EXISTS ") + kCatalog +
                                     " (name TEXT PRIMARY KEY, display TEXT NOT NULL, def TEXT NOT NULL)");
        impl_->locks = std::make_unique<RecordLocks>((fs::path(dir_) / kLockFileName).string());
    } catch (...) {
        impl_.reset();
        sqlite3_close(db_);
        throw;
    }
}

Database::~Database() {
    for (Cursor* c : cursors_)
        c->suspend();
    if (txBegun_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    impl_.reset();
    sqlite3_close_v2(db_);
}

std::string Database::canonicalName(std::string_view tableName) {
    std::string_view s = tableName;
    if (s.size() > 3 && sql::iequal(s.substr(s.size() - 3), ".db")) s.remove_suffix(3);
    bool ok = !s.empty() && s.size() <= 64;
    for (char c : s)
        ok = ok && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    if (!ok) throw EngineError(errc::kTableNotFound, "Invalid table name: " + std::string(tableName));
    return sql::lower(s);
}

bool Database::tableExists(std::string_view name) {
    std::string n;
    try {
        n = canonicalName(name);
    } catch (const EngineError&) {
        return false;
    }
    if (shapesCurrent() && impl_->shapes.count(n)) return true;
    CachedStmt st(*impl_, std::string("SELECT 1 FROM ") + kCatalog + " WHERE name=?");
    sqlite3_bind_text(st.get(), 1, n.c_str(), -1, SQLITE_TRANSIENT);
    return st.step();
}

std::vector<std::string> Database::tableNames() {
    std::vector<std::string> out;
    sql::Stmt st(db_, std::string("SELECT display FROM ") + kCatalog + " ORDER BY name");
    while (st.step())
        out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
    return out;
}

bool Database::shapesCurrent() {
    CachedStmt v(*impl_, "PRAGMA schema_version");
    const std::int64_t version = v.step() ? sqlite3_column_int64(v.get(), 0) : -1;
    if (version == impl_->shapesVersion) return true;
    impl_->shapes.clear();
    impl_->shapesVersion = version;
    return false;
}

std::shared_ptr<const TableShape> Database::tableShape(std::string_view name) {
    std::string n = canonicalName(name);
    if (shapesCurrent()) {
        auto it = impl_->shapes.find(n);
        if (it != impl_->shapes.end()) return it->second;
    }
    auto shape = std::make_shared<TableShape>();
    shape->def = readTableDef(n, name);
    shape->selectSql = "SELECT rowid";
    for (const auto& f : shape->def.fields)
        shape->selectSql += ", " + sql::quoteIdent(f.name);
    shape->selectSql += " FROM " + sql::quoteIdent(n);
    impl_->shapes[std::move(n)] = shape;
    return shape;
}

TableDef Database::tableDef(std::string_view name) {
    return tableShape(name)->def;
}

TableDef Database::readTableDef(const std::string& n, std::string_view name) {
    CachedStmt st(*impl_, std::string("SELECT display, def FROM ") + kCatalog + " WHERE name=?");
    sqlite3_bind_text(st.get(), 1, n.c_str(), -1, SQLITE_TRANSIENT);
    if (!st.step())
        throw EngineError(errc::kTableNotFound, "Table does not exist: " + std::string(name) + " in " + dir_);
    auto text = [&](int col) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), col));
        return std::string(p ? p : "");
    };
    return deserialize(text(0), text(1));
}

namespace {
// Runs f inside the open transaction, or in one of its own.
template <class F> void writeBlock(Database& d, F&& f) {
    if (d.inTransaction()) {
        d.beginWrite();
        f();
        d.afterWrite();
        return;
    }
    d.suspendReaders();
    sql::execSimple(d.rawHandle(), "BEGIN IMMEDIATE");
    try {
        f();
        sql::execSimple(d.rawHandle(), "COMMIT");
    } catch (...) {
        sqlite3_exec(d.rawHandle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}
} // namespace

void Database::createTable(const TableDef& defIn, bool replace) {
    const std::string n = canonicalName(defIn.name);
    TableDef def = defIn;
    if (def.fields.empty()) throw EngineError(errc::kBadValue, "Table " + def.name + " has no fields");
    int autoincs = 0;
    for (auto& f : def.fields) {
        if (!validIdent(f.name))
            throw EngineError(errc::kBadValue, "Invalid field name in " + def.name + ": " + f.name);
        if (f.type == FieldType::Text && f.size <= 0) f.size = 20;
        if (f.type == FieldType::AutoInc) ++autoincs;
    }
    if (autoincs > 1)
        throw EngineError(errc::kBadValue, "Table " + def.name + " has more than one auto-increment field");
    for (std::size_t i = 0; i < def.fields.size(); ++i)
        for (std::size_t j = i + 1; j < def.fields.size(); ++j)
            if (sql::iequal(def.fields[i].name, def.fields[j].name))
                throw EngineError(errc::kBadValue,
                                  "Duplicate field " + def.fields[i].name + " in " + def.name);
    auto checkFields = [&](const std::vector<std::string>& fs, const std::string& what) {
        if (fs.empty()) throw EngineError(errc::kBadValue, what + " of " + def.name + " has no fields");
        for (const auto& f : fs)
            if (def.fieldIndex(f) < 0)
                throw EngineError(errc::kFieldNotFound, what + " of " + def.name + " names no field " + f);
    };
    if (!def.primaryKey.empty()) checkFields(def.primaryKey, "Primary key");
    for (const auto& ix : def.indexes) {
        if (!validIdent(ix.name) || ix.name.find(' ') != std::string::npos)
            throw EngineError(errc::kBadValue, "Invalid index name in " + def.name + ": " + ix.name);
        checkFields(ix.fields, "Index " + ix.name);
    }

    writeBlock(*this, [&] {
        if (tableExists(n)) {
            if (!replace) throw EngineError(errc::kTableExists, "Table already exists: " + def.name);
            sql::execSimple(db_, "DROP TABLE IF EXISTS " + sql::quoteIdent(n));
            CachedStmt del(*impl_, std::string("DELETE FROM ") + kCatalog + " WHERE name=?");
            sqlite3_bind_text(del.get(), 1, n.c_str(), -1, SQLITE_TRANSIENT);
            del.step();
        }
        std::string ddl = "CREATE TABLE " + sql::quoteIdent(n) + " (";
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
            const auto& f = def.fields[i];
            ddl += (i ? ", " : "") + sql::quoteIdent(f.name) + " " + sql::sqlType(f.type);
            if (f.type == FieldType::AutoInc) ddl += " PRIMARY KEY";
        }
        ddl += ")";
        sql::execSimple(db_, ddl);
        auto cols = [](const std::vector<std::string>& fs) {
            std::string r;
            for (std::size_t i = 0; i < fs.size(); ++i)
                r += (i ? ", " : "") + sql::quoteIdent(fs[i]);
            return r;
        };
        if (!def.primaryKey.empty())
            sql::execSimple(db_, "CREATE UNIQUE INDEX " + sql::quoteIdent(n + "__pk") + " ON " +
                                     sql::quoteIdent(n) + " (" + cols(def.primaryKey) + ")");
        for (const auto& ix : def.indexes)
            sql::execSimple(db_, std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX " +
                                     sql::quoteIdent(n + "__" + sql::lower(ix.name)) + " ON " +
                                     sql::quoteIdent(n) + " (" + cols(ix.fields) + ")");
        CachedStmt ins(*impl_,
                       std::string("INSERT INTO ") + kCatalog + " (name, display, def) VALUES (?,?,?)");
        std::string display(defIn.name);
        if (display.size() > 3 && sql::iequal(display.substr(display.size() - 3), ".db"))
            display.resize(display.size() - 3);
        std::string text = serialize(def);
        sqlite3_bind_text(ins.get(), 1, n.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins.get(), 2, display.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins.get(), 3, text.c_str(), -1, SQLITE_TRANSIENT);
        ins.step();
    });
}

void Database::createTableFrom(Database& source, std::string_view templateName, std::string_view newName) {
    TableDef def = source.tableDef(templateName);
    def.name = std::string(newName);
    createTable(def, true);
}

void Database::emptyTable(std::string_view name) {
    const std::string n = canonicalName(name);
    if (!tableExists(n))
        throw EngineError(errc::kTableNotFound, "Table does not exist: " + std::string(name));
    writeBlock(*this, [&] { sql::execSimple(db_, "DELETE FROM " + sql::quoteIdent(n)); });
}

void Database::dropTable(std::string_view name) {
    const std::string n = canonicalName(name);
    if (!tableExists(n)) return;
    writeBlock(*this, [&] {
        sql::execSimple(db_, "DROP TABLE IF EXISTS " + sql::quoteIdent(n));
        CachedStmt del(*impl_, std::string("DELETE FROM ") + kCatalog + " WHERE name=?");
        sqlite3_bind_text(del.get(), 1, n.c_str(), -1, SQLITE_TRANSIENT);
        del.step();
    });
}

void Database::setBusyTimeout(int ms) {
    impl_->busyTimeoutMs = ms;
    sqlite3_busy_timeout(db_, ms);
    if (impl_->reader) sqlite3_busy_timeout(impl_->reader, ms);
}

void Database::injectFault(int nth, FaultKind kind) {
    auto& f = impl_->fault;
    if ((f.nth > 0) != (nth > 0)) fault::armedCount += nth > 0 ? 1 : -1;
    f = fault::State{nth > 0 ? nth : 0, kind, 0, false};
}

bool Database::faultFired() const {
    return impl_->fault.fired;
}

void Database::startTransaction(bool immediate) {
    if (inTx_) throw EngineError(errc::kTransaction, "A transaction is already active on " + dir_);
    inTx_ = true;
    txBegun_ = false;
    if (immediate) {
        try {
            beginWrite();
        } catch (...) {
            inTx_ = false;
            throw;
        }
    }
}

void Database::beginWrite() {
    if (inTx_) {
        if (txBegun_) return;
        suspendReaders();
        sql::execSimple(db_, "BEGIN IMMEDIATE");
        txBegun_ = true;
    } else {
        suspendReaders();
    }
}

void Database::afterWrite() {}

void Database::commit() {
    if (!inTx_) throw EngineError(errc::kTransaction, "No active transaction on " + dir_);
    if (txBegun_) {
        suspendReaders();
        sql::execSimple(db_, "COMMIT");
    }
    inTx_ = false;
    txBegun_ = false;
}

void Database::rollback() {
    if (!inTx_) throw EngineError(errc::kTransaction, "No active transaction on " + dir_);
    inTx_ = false;
    if (txBegun_) {
        txBegun_ = false;
        suspendReaders();
        sql::execSimple(db_, "ROLLBACK");
    }
}

std::int64_t Database::execute(const std::string& text, const std::vector<Value>& params) {
    beginWrite();
    CachedStmt st(*impl_, text);
    for (std::size_t i = 0; i < params.size(); ++i)
        sql::bindNatural(st.get(), static_cast<int>(i + 1), params[i]);
    while (st.step()) {
    }
    return sqlite3_changes64(db_);
}

void Database::suspendReaders() {
    for (Cursor* c : cursors_)
        c->suspend();
}

void Database::registerCursor(Cursor* c) {
    cursors_.insert(c);
}
void Database::unregisterCursor(Cursor* c) {
    cursors_.erase(c);
}
void Database::registerQuery(Query* q) {
    queries_.insert(q);
}
void Database::unregisterQuery(Query* q) {
    queries_.erase(q);
}

Transaction::Transaction(Database& db, bool immediate) : db_(db) {
    db_.startTransaction(immediate);
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.rollback();
        } catch (...) {
        }
    }
}

void Transaction::commit() {
    db_.commit();
    done_ = true;
}

} // namespace vm
