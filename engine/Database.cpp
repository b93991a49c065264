#include "engine/Database.h"

#include "engine/Cursor.h"
#include "engine/DatabaseImpl.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <utility>

namespace vm {

namespace {
constexpr const char* kCatalog = "_vm_catalog";

// Counts this process's creations and drops of tables and its rollbacks. A
// work table is changed by its own session only, which lives in this
// process: its shape read since the last count stands without the schema
// version being read again.
std::atomic<std::uint64_t> workEpoch{0};

void workTablesChanged() {
    ++workEpoch;
}

// Counts every write, commit and rollback of this process, on any of its
// databases. A row read when the count stood at N has changed since only if
// the count moved, or if another session wrote it: the count tells a cursor
// when its row is still as stored (see Database::readMark).
std::atomic<std::uint64_t> rowWrites{0};

void rowsChanged() {
    ++rowWrites;
}

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
    if (def.work) o << "W\t1\n";
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
        } else if (parts[0] == "W" && parts.size() == 2) {
            def.work = flag(parts[1], "the work table flag");
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

} // namespace

namespace backend {
sqlite3* sqliteHandle(Backend& b);
}

Database::Impl::Stmt Database::Impl::take(const std::string& text) {
    auto it = idle.find(text);
    if (it != idle.end()) {
        Stmt st = std::move(it->second);
        idle.erase(it);
        return st;
    }
    return db->prepare(text, true);
}

void Database::Impl::giveBack(std::string text, Stmt st) {
    if (!st) return;
    st->reset();
    // Bounded: reads by many shapes (ranges on long keys) are let go.
    if (idle.size() >= 256) return;
    idle.emplace(std::move(text), std::move(st));
}

backend::Statement& Database::Impl::cached(const std::string& text) {
    auto it = cache.find(text);
    if (it != cache.end()) return *it->second;
    return *cache.emplace(text, db->prepare(text, true)).first->second;
}

Database::Impl::~Impl() {
    cache.clear();
    idle.clear();
    be.reset();
    if (fault.nth > 0) --fault::armedCount;
}

Database::Database(const std::string& location) : dir_(location), impl_(std::make_unique<Impl>()) {
    if (backend::isServerLocation(location)) {
        impl_->be = backend::openPostgres(location, impl_->busyTimeoutMs, &impl_->fault);
    } else {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir_, ec))
            throw EngineError(errc::kDirectory, "Directory does not exist: " + dir_);
        impl_->be = backend::openSqlite(location, impl_->busyTimeoutMs, &impl_->fault);
    }
    impl_->db = &impl_->be->main();
    impl_->dialect = &impl_->be->dialect();
}

Database::~Database() {
    for (Cursor* c : cursors_)
        c->suspend();
    // Rolled back unseen: only this database kept shapes read inside it.
    if (txBegun_) {
        try {
            impl_->be->rollback();
        } catch (...) {
        }
    }
    impl_.reset();
}

bool Database::tryLockName(std::string_view name) {
    try {
        impl_->be->locks().lock(std::string(name), 0);
    } catch (const EngineError& e) {
        if (e.isRecordLock()) return false;
        throw;
    }
    return true;
}

void Database::unlockName(std::string_view name) {
    impl_->be->locks().unlock(std::string(name), 0);
}

sqlite3* Database::rawHandle() {
    return backend::sqliteHandle(*impl_->be);
}

bool Database::isServer() const {
    return backend::isServerLocation(dir_);
}

bool Database::isServerLocation(std::string_view location) {
    return backend::isServerLocation(location);
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

std::shared_ptr<const TableShape> Database::workShape(const std::string& canonical) const {
    auto it = impl_->shapes.find(canonical);
    if (it == impl_->shapes.end() || !it->second->def.work || it->second->epoch != workEpoch.load())
        return nullptr;
    return it->second;
}

bool Database::tableExists(std::string_view name) {
    std::string n;
    try {
        n = canonicalName(name);
    } catch (const EngineError&) {
        return false;
    }
    if (workShape(n) || (shapesCurrent() && impl_->shapes.count(n))) return true;
    CachedStmt st(*impl_, std::string("SELECT 1 FROM ") + kCatalog + " WHERE name=?");
    st->bind(1, FieldType::Text, Value(n));
    return st.step();
}

std::vector<std::string> Database::tableNames() {
    std::vector<std::string> out;
    auto st = impl_->db->prepare(std::string("SELECT display FROM ") + kCatalog + " ORDER BY name", false);
    while (st->step())
        out.emplace_back(st->columnText(0));
    return out;
}

bool Database::shapesCurrent() {
    const std::int64_t version = impl_->be->schemaVersion();
    if (version == impl_->shapesVersion) return true;
    impl_->shapes.clear();
    impl_->shapesVersion = version;
    return false;
}

std::shared_ptr<const TableShape> Database::tableShape(std::string_view name) {
    std::string n = canonicalName(name);
    if (auto work = workShape(n)) return work;
    if (shapesCurrent()) {
        auto it = impl_->shapes.find(n);
        if (it != impl_->shapes.end()) return it->second;
    }
    auto shape = std::make_shared<TableShape>();
    shape->epoch = workEpoch.load(); // before the read: a change meanwhile makes it old
    shape->def = readTableDef(n, name);
    shape->rowId = impl_->be->rowIdColumn(shape->def);
    shape->selectSql = "SELECT " + shape->rowId;
    for (const auto& f : shape->def.fields)
        shape->selectSql += ", " + impl_->be->column(f);
    shape->selectSql += " FROM " + sql::quoteIdent(n);
    impl_->shapes[std::move(n)] = shape;
    return shape;
}

TableDef Database::tableDef(std::string_view name) {
    return tableShape(name)->def;
}

TableDef Database::readTableDef(const std::string& n, std::string_view name) {
    CachedStmt st(*impl_, std::string("SELECT display, def FROM ") + kCatalog + " WHERE name=?");
    st->bind(1, FieldType::Text, Value(n));
    if (!st.step())
        throw EngineError(errc::kTableNotFound, "Table does not exist: " + std::string(name) + " in " + dir_);
    return deserialize(std::string(st->columnText(0)), std::string(st->columnText(1)));
}

namespace {
// Runs f inside the open transaction, or in one of its own.
template <class F> void writeBlock(Database& d, F&& f, bool work = false) {
    if (d.inTransaction()) {
        d.beginWrite(work);
        f();
        d.afterWrite();
        return;
    }
    d.suspendReaders();
    auto& be = *d.impl().be;
    rowsChanged();
    be.begin(false, !work);
    try {
        f();
        be.commit();
        rowsChanged();
    } catch (...) {
        rowsChanged();
        workTablesChanged(); // what the block created or dropped is undone
        try {
            be.rollback();
        } catch (...) {
        }
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
            impl_->db->exec("DROP TABLE IF EXISTS " + sql::quoteIdent(n));
            CachedStmt del(*impl_, std::string("DELETE FROM ") + kCatalog + " WHERE name=?");
            del->bind(1, FieldType::Text, Value(n));
            del.step();
        }
        auto& be = *impl_->be;
        impl_->db->exec(be.createTableSql(n, def));
        if (!def.primaryKey.empty())
            impl_->db->exec(be.createIndexSql(n + "__pk", n, def, def.primaryKey, true));
        for (const auto& ix : def.indexes)
            impl_->db->exec(be.createIndexSql(n + "__" + sql::lower(ix.name), n, def, ix.fields, ix.unique));
        CachedStmt ins(*impl_,
                       std::string("INSERT INTO ") + kCatalog + " (name, display, def) VALUES (?,?,?)");
        std::string display(defIn.name);
        if (display.size() > 3 && sql::iequal(display.substr(display.size() - 3), ".db"))
            display.resize(display.size() - 3);
        std::string text = serialize(def);
        ins->bind(1, FieldType::Text, Value(n));
        ins->bind(2, FieldType::Text, Value(display));
        ins->bind(3, FieldType::Memo, Value(text));
        ins.step();
        be.schemaChanged();
        workTablesChanged();
    });
}

void Database::createTableFrom(Database& source, std::string_view templateName, std::string_view newName,
                               bool work) {
    TableDef def = source.tableDef(templateName);
    def.name = std::string(newName);
    def.work = work;
    createTable(def, true);
}

void Database::copyFrom(Database& source, bool replace) {
    if (!replace && !tableNames().empty())
        throw EngineError(errc::kTableExists, "The target of the copy already holds tables");
    Transaction tx(*this, true);
    std::vector<std::string> filled;
    if (replace)
        for (const auto& name : tableNames())
            dropTable(name);
    for (const auto& name : source.tableNames()) {
        const TableDef def = source.tableDef(name);
        createTable(def);
        const auto shape = tableShape(name);
        // The row id goes with the row; an auto-increment field is the row id.
        std::string cols = shape->rowId, marks = "?";
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
            if (def.fields[i].type == FieldType::AutoInc) continue;
            cols += ", " + impl_->be->column(def.fields[i]);
            marks += ", ?";
            which.push_back(i);
        }
        CachedStmt ins(*impl_, "INSERT INTO " + sql::quoteIdent(canonicalName(name)) + " (" + cols +
                                   ") VALUES (" + marks + ")");
        Cursor from(source, name, true);
        std::int64_t last = 0;
        for (bool ok = from.first(); ok; ok = from.next()) {
            ins->bind(1, FieldType::AutoInc, Value(from.rowId()));
            for (std::size_t k = 0; k < which.size(); ++k)
                ins->bind(static_cast<int>(k + 2), def.fields[which[k]].type,
                          from.value(static_cast<int>(which[k])));
            ins->runLater(); // a batch: sent with the rows that follow
            ins->reset();
            last = std::max(last, from.rowId());
        }
        if (last > 0) {
            impl_->be->explicitRowId(canonicalName(name), def, last);
            filled.push_back(canonicalName(name));
        }
    }
    tx.commit();
    statisticsOf(filled);
}

void Database::statisticsOf(const std::vector<std::string>& tables) {
    if (tables.empty()) return;
    try {
        impl_->be->tablesFilled(tables);
    } catch (const EngineError&) {
        // What was written stands; the server gathers them later itself.
    }
}

void Database::emptyTable(std::string_view name) {
    const std::string n = canonicalName(name);
    if (!tableExists(n))
        throw EngineError(errc::kTableNotFound, "Table does not exist: " + std::string(name));
    writeBlock(
        *this, [&] { impl_->db->exec("DELETE FROM " + sql::quoteIdent(n)); }, tableShape(n)->def.work);
}

void Database::dropTable(std::string_view name) {
    const std::string n = canonicalName(name);
    if (!tableExists(n)) return;
    writeBlock(*this, [&] {
        impl_->db->exec("DROP TABLE IF EXISTS " + sql::quoteIdent(n));
        CachedStmt del(*impl_, std::string("DELETE FROM ") + kCatalog + " WHERE name=?");
        del->bind(1, FieldType::Text, Value(n));
        del.step();
        impl_->be->schemaChanged();
        workTablesChanged();
    });
}

void Database::setBusyTimeout(int ms) {
    impl_->busyTimeoutMs = ms;
    impl_->be->setBusyTimeout(ms);
}

void Database::injectFault(int nth, FaultKind kind) {
    auto& f = impl_->fault;
    if ((f.nth > 0) != (nth > 0)) fault::armedCount += nth > 0 ? 1 : -1;
    f = fault::State{nth > 0 ? nth : 0, kind, 0, false};
}

bool Database::faultFired() const {
    return impl_->fault.fired;
}

void Database::startTransaction(bool immediate, bool batch) {
    if (inTx_) throw EngineError(errc::kTransaction, "A transaction is already active on " + dir_);
    inTx_ = true;
    txBegun_ = txLocked_ = false;
    txImmediate_ = immediate;
    txBatch_ = immediate || batch;
    if (immediate) {
        try {
            beginWrite();
        } catch (...) {
            inTx_ = false;
            throw;
        }
    }
}

void Database::beginWrite(bool work) {
    rowsChanged();
    const bool lock = !work || txImmediate_;
    if (inTx_) {
        if (txBegun_) {
            if (lock && !txLocked_) {
                impl_->be->lockWrites();
                txLocked_ = true;
                lockSpan_ = ++lockSpans_;
            }
            return;
        }
        suspendReaders();
        impl_->be->begin(txBatch_, lock);
        txBegun_ = true;
        txLocked_ = lock;
        if (lock) lockSpan_ = ++lockSpans_;
    } else {
        suspendReaders();
        impl_->be->nextWriteLocks(lock);
    }
}

void Database::afterWrite() {}

Database::ReadMark Database::readMark() const {
    return {rowWrites.load(), txBegun_ && txLocked_ ? lockSpan_ : 0, true};
}

bool Database::stillCurrent(const ReadMark& m, bool work) const {
    if (!m.valid || m.writes != rowWrites.load()) return false;
    // A work table is written by its own session only; a shared table's row
    // stays as read while this transaction has held the write lock since.
    return work || (m.lockSpan != 0 && m.lockSpan == readMark().lockSpan);
}

void Database::commit() {
    if (!inTx_) throw EngineError(errc::kTransaction, "No active transaction on " + dir_);
    const auto inserted = std::exchange(impl_->inserted, {});
    if (txBegun_) {
        suspendReaders();
        lockSpan_ = 0;
        try {
            impl_->be->commit();
        } catch (...) {
            rowsChanged();
            workTablesChanged(); // a commit refused is a rollback
            throw;
        }
        rowsChanged(); // what other connections of this process read of it is old now
    }
    inTx_ = false;
    txBegun_ = false;
    // A work table that took many rows at once has the backend's planner
    // told of it before it is read.
    std::vector<std::string> filled;
    for (const auto& [table, rows] : inserted)
        if (rows >= kFilledRows) filled.push_back(table);
    statisticsOf(filled);
}

void Database::rollback() {
    if (!inTx_) throw EngineError(errc::kTransaction, "No active transaction on " + dir_);
    inTx_ = false;
    impl_->inserted.clear();
    if (txBegun_) {
        txBegun_ = false;
        lockSpan_ = 0;
        suspendReaders();
        rowsChanged();
        workTablesChanged();
        impl_->be->rollback();
    }
}

std::int64_t Database::execute(const std::string& text, const std::vector<Value>& params) {
    beginWrite();
    CachedStmt st(*impl_, impl_->be->translateQuery(text));
    for (std::size_t i = 0; i < params.size(); ++i)
        st->bindNatural(static_cast<int>(i + 1), params[i]);
    while (st.step()) {
    }
    return impl_->db->changes();
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

Transaction::Transaction(Database& db, bool immediate, bool batch) : db_(db) {
    db_.startTransaction(immediate, batch);
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
