#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/DatabaseImpl.h"
#include "engine/SqlUtil.h"

#include <cmath>
#include <map>

namespace vm {

Query::Query(Database& db, const std::string& text, const std::vector<Value>& params) : db_(db) {
    // Outside a writing transaction the query reads on its own connection, so
    // that stepping through it never stands in the way of a write.
    sqlite3* conn = db.writing() ? db.rawHandle() : db.impl().readerConnection();
    int rc = sqlite3_prepare_v2(conn, text.c_str(), static_cast<int>(text.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        std::string m = sqlite3_errmsg(conn);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw EngineError(errc::kSql, "SQL error: " + m);
    }
    if (!sqlite3_stmt_readonly(stmt_)) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw EngineError(errc::kSql, "A query may only read; use Database::execute to write");
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        sql::bindNatural(stmt_, static_cast<int>(i + 1), params[i]);
    const int n = sqlite3_column_count(stmt_);
    types_.assign(static_cast<std::size_t>(n), FieldType::Text);
    typed_.assign(static_cast<std::size_t>(n), false);
    std::map<std::string, std::shared_ptr<const TableShape>> defs;
    for (int i = 0; i < n; ++i) {
        const char* table = sqlite3_column_table_name(stmt_, i);
        const char* origin = sqlite3_column_origin_name(stmt_, i);
        if (!table || !origin) continue;
        std::string t = sql::lower(table);
        auto it = defs.find(t);
        if (it == defs.end()) {
            if (!db.tableExists(t)) continue;
            it = defs.emplace(t, db.tableShape(t)).first;
        }
        if (const FieldDef* f = it->second->def.field(origin)) {
            types_[static_cast<std::size_t>(i)] = f->type;
            typed_[static_cast<std::size_t>(i)] = true;
        }
    }
    db.registerQuery(this);
}

Query::~Query() {
    close();
    db_.unregisterQuery(this);
}

void Query::close() {
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    done_ = true;
}

bool Query::next() {
    if (done_ || !stmt_) return false;
    fault::beforeStep(stmt_);
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    sqlite3* conn = sqlite3_db_handle(stmt_);
    if (rc != SQLITE_DONE) {
        try {
            sql::fail(conn, rc, "SQL error"); // a busy database keeps its own code
        } catch (...) {
            close();
            throw;
        }
    }
    close();
    return false;
}

int Query::columnCount() const {
    return static_cast<int>(types_.size());
}

std::string Query::columnName(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return {};
    return sqlite3_column_name(stmt_, i);
}

int Query::columnIndex(std::string_view name) const {
    for (int i = 0; i < columnCount(); ++i)
        if (sql::iequal(columnName(i), name)) return i;
    throw EngineError(errc::kFieldNotFound, "Column '" + std::string(name) + "' not in the query");
}

Value Query::value(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return Value();
    const auto k = static_cast<std::size_t>(i);
    return typed_[k] ? sql::column(stmt_, i, types_[k]) : sql::columnNatural(stmt_, i);
}

Money Query::money(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return Money();
    const auto k = static_cast<std::size_t>(i);
    if (!typed_[k]) {
        // A computed number is over stored money (SUM, TOTAL, AVG, MAX...):
        // ten-thousandths, whether SQLite hands it back as integer or real.
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return Money::fromRaw(sqlite3_column_int64(stmt_, i));
        case SQLITE_FLOAT:
            return Money::fromRaw(std::llround(sqlite3_column_double(stmt_, i)));
        default:
            break;
        }
    }
    return value(i).asMoney();
}

std::string Query::text(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))) : std::string();
}

Date Query::date(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount() || sqlite3_column_type(stmt_, i) == SQLITE_NULL) return Date();
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return Date::fromIso(std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))))
        .value_or(Date());
}

} // namespace vm
