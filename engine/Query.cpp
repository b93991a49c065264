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
    auto& be = *db.impl().be;
    backend::Connection& conn = db.writing() ? be.main() : be.reader();
    const std::string translated = be.translateQuery(text);
    try {
        stmt_ = conn.prepare(translated, false);
    } catch (const EngineError& e) {
        if (e.isLock()) throw;
        throw EngineError(errc::kSql, "SQL error: " + e.last().message);
    }
    if (!stmt_->readOnly()) {
        stmt_.reset();
        throw EngineError(errc::kSql, "A query may only read; use Database::execute to write");
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        stmt_->bindNatural(static_cast<int>(i + 1), params[i]);
    db.registerQuery(this);
}

// The field types of the columns read straight from a table.
void Query::describe() {
    if (described_ || !stmt_) return;
    described_ = true;
    const int n = stmt_->columnCount();
    types_.assign(static_cast<std::size_t>(n), FieldType::Text);
    typed_.assign(static_cast<std::size_t>(n), false);
    std::map<std::string, std::shared_ptr<const TableShape>> defs;
    std::string table, origin;
    for (int i = 0; i < n; ++i) {
        if (!stmt_->columnOrigin(i, table, origin)) continue;
        std::string t = sql::lower(table);
        auto it = defs.find(t);
        if (it == defs.end()) {
            if (!db_.tableExists(t)) continue;
            it = defs.emplace(t, db_.tableShape(t)).first;
        }
        if (const FieldDef* f = it->second->def.field(origin)) {
            types_[static_cast<std::size_t>(i)] = f->type;
            typed_[static_cast<std::size_t>(i)] = true;
        }
    }
}

Query::~Query() {
    close();
    db_.unregisterQuery(this);
}

void Query::close() {
    stmt_.reset();
    done_ = true;
}

bool Query::next() {
    if (done_ || !stmt_) return false;
    bool row = false;
    try {
        row = stmt_->step();
    } catch (...) {
        close(); // a busy database keeps its own code
        throw;
    }
    try {
        describe(); // also at the end: the columns stay counted after close
    } catch (...) {
        close();
        throw;
    }
    if (row) return true;
    close();
    return false;
}

int Query::columnCount() const {
    return stmt_ ? stmt_->columnCount() : static_cast<int>(types_.size());
}

std::string Query::columnName(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return {};
    return stmt_->columnName(i);
}

int Query::columnIndex(std::string_view name) const {
    for (int i = 0; i < columnCount(); ++i)
        if (sql::iequal(columnName(i), name)) return i;
    throw EngineError(errc::kFieldNotFound, "Column '" + std::string(name) + "' not in the query");
}

Value Query::value(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return Value();
    const auto k = static_cast<std::size_t>(i);
    return k < typed_.size() && typed_[k] ? stmt_->column(i, types_[k]) : stmt_->columnNatural(i);
}

Money Query::money(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return Money();
    const auto k = static_cast<std::size_t>(i);
    if (k >= typed_.size() || !typed_[k]) {
        // A computed number is over stored money (SUM, TOTAL, AVG, MAX...):
        // ten-thousandths, whether it comes back as integer or real.
        switch (stmt_->columnClass(i)) {
        case backend::ColumnClass::Integer:
            return Money::fromRaw(stmt_->columnInt(i));
        case backend::ColumnClass::Real:
            return Money::fromRaw(std::llround(stmt_->columnReal(i)));
        default:
            break;
        }
    }
    return value(i).asMoney();
}

std::string Query::text(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount()) return {};
    return std::string(stmt_->columnText(i));
}

Date Query::date(int i) const {
    if (!stmt_ || i < 0 || i >= columnCount() || stmt_->columnClass(i) == backend::ColumnClass::Null)
        return Date();
    return Date::fromIso(stmt_->columnText(i)).value_or(Date());
}

} // namespace vm
