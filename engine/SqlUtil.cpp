#include "engine/SqlUtil.h"

#include "engine/FaultInjection.h"

#include <strings.h>

namespace vm::sql {

std::string quoteIdent(std::string_view name) {
    std::string r = "\"";
    for (char c : name) {
        if (c == '"') r += '"';
        r += c;
    }
    r += '"';
    return r;
}

std::string lower(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool iequal(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

namespace {
// Cuts UTF-8 text to n characters.
std::string cutToChars(const std::string& s, int n) {
    if (n <= 0) return s;
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n) return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

[[noreturn]] void badValue(const FieldDef& f, const Value& v) {
    throw EngineError(errc::kBadValue, "Invalid value for field " + f.name + " (" + fieldTypeName(f.type) +
                                           "): '" + v.asString() + "'");
}
} // namespace

Value coerce(const FieldDef& f, const Value& v) {
    const auto& s = v.storage();
    bool isText = std::holds_alternative<std::string>(s);
    switch (f.type) {
    case FieldType::Text:
        return Value(cutToChars(v.asString(), f.size > 0 ? f.size : 20));
    case FieldType::Memo:
        return Value(v.asString());
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc: {
        if (v.isNull()) return v;
        if (isText) {
            const std::string& t = std::get<std::string>(s);
            if (t.empty()) return Value();
            std::size_t pos = 0;
            long long n = 0;
            try {
                n = std::stoll(t, &pos);
            } catch (...) {
                badValue(f, v);
            }
            if (pos != t.size()) badValue(f, v);
            return Value(static_cast<std::int64_t>(n));
        }
        if (std::holds_alternative<Money>(s) || std::holds_alternative<Date>(s) ||
            std::holds_alternative<DateTime>(s) || std::holds_alternative<Bytes>(s))
            badValue(f, v);
        std::int64_t n = v.asInt();
        std::int64_t lim = f.type == FieldType::Int16 ? 32767 : 2147483647;
        if (n > lim || n < -lim - 1) badValue(f, v);
        return Value(n);
    }
    case FieldType::Float:
        if (v.isNull()) return v;
        if (isText) {
            const std::string& t = std::get<std::string>(s);
            if (t.empty()) return Value();
            try {
                std::size_t pos = 0;
                double d = std::stod(t, &pos);
                if (pos != t.size()) badValue(f, v);
                return Value(d);
            } catch (const EngineError&) {
                throw;
            } catch (...) {
                badValue(f, v);
            }
        }
        if (std::holds_alternative<Date>(s) || std::holds_alternative<Bytes>(s)) badValue(f, v);
        return Value(v.asDouble());
    case FieldType::Money:
        if (v.isNull()) return v;
        if (isText) {
            const std::string& t = std::get<std::string>(s);
            if (t.empty()) return Value();
            auto m = Money::parse(t);
            if (!m) badValue(f, v);
            return Value(*m);
        }
        if (std::holds_alternative<Date>(s) || std::holds_alternative<Bytes>(s)) badValue(f, v);
        return Value(v.asMoney());
    case FieldType::Date:
        if (v.isNull()) return v;
        if (isText) {
            auto d = Date::fromIso(std::get<std::string>(s));
            if (!d) badValue(f, v);
            return Value(*d);
        }
        if (!std::holds_alternative<Date>(s) && !std::holds_alternative<DateTime>(s)) badValue(f, v);
        return Value(v.asDate());
    case FieldType::DateTime:
        if (v.isNull()) return v;
        if (isText) {
            auto d = DateTime::fromIso(std::get<std::string>(s));
            if (!d) badValue(f, v);
            return Value(*d);
        }
        if (!std::holds_alternative<Date>(s) && !std::holds_alternative<DateTime>(s)) badValue(f, v);
        return Value(v.asDateTime());
    case FieldType::Time:
        if (v.isNull()) return v;
        if (isText) {
            auto t = Time::fromIso(std::get<std::string>(s));
            if (!t) badValue(f, v);
            return Value(*t);
        }
        if (!std::holds_alternative<Time>(s) && !std::holds_alternative<DateTime>(s)) badValue(f, v);
        return Value(v.asTime());
    case FieldType::Boolean:
        if (v.isNull()) return v;
        return Value(v.asBool());
    case FieldType::Blob:
        if (v.isNull()) return v;
        return Value(v.asBytes());
    case FieldType::Bytes: {
        if (v.isNull()) return v;
        Bytes b = v.asBytes();
        if (f.size > 0) b.resize(static_cast<std::size_t>(f.size), 0);
        return Value(std::move(b));
    }
    }
    return v;
}

void bind(sqlite3_stmt* st, int pos, FieldType t, const Value& v) {
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

void bindNatural(sqlite3_stmt* st, int pos, const Value& v) {
    const auto& s = v.storage();
    if (v.isNull())
        sqlite3_bind_null(st, pos);
    else if (auto i = std::get_if<std::int64_t>(&s))
        sqlite3_bind_int64(st, pos, *i);
    else if (auto d = std::get_if<double>(&s))
        sqlite3_bind_double(st, pos, *d);
    else if (std::holds_alternative<Money>(s))
        bind(st, pos, FieldType::Money, v);
    else if (std::holds_alternative<Date>(s))
        bind(st, pos, FieldType::Date, v);
    else if (std::holds_alternative<DateTime>(s))
        bind(st, pos, FieldType::DateTime, v);
    else if (std::holds_alternative<Time>(s))
        bind(st, pos, FieldType::Time, v);
    else if (std::holds_alternative<bool>(s))
        bind(st, pos, FieldType::Boolean, v);
    else if (std::holds_alternative<Bytes>(s))
        bind(st, pos, FieldType::Blob, v);
    else
        bind(st, pos, FieldType::Text, v);
}

Value column(sqlite3_stmt* st, int col, FieldType t) {
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

Value columnNatural(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return Value();
    case SQLITE_INTEGER:
        return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(st, col));
    case SQLITE_BLOB:
        return column(st, col, FieldType::Blob);
    default:
        return column(st, col, FieldType::Text);
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

std::string lexCompare(const std::vector<std::string>& cols, const std::vector<FieldType>& types,
                       const std::vector<Value>& values, const char* op, std::vector<Param>& params) {
    const std::size_t n = std::min(cols.size(), values.size());
    if (n == 0) return "1";
    const std::string o(op);
    const bool greater = o[0] == '>';
    const bool inclusive = o.size() == 2;
    // Stored blanks: text is never NULL; other kinds may be.
    auto isBlank = [&](std::size_t i) {
        return values[i].isNull() && types[i] != FieldType::Text && types[i] != FieldType::Memo;
    };
    bool anyBlank = false;
    for (std::size_t i = 0; i < n; ++i)
        anyBlank = anyBlank || isBlank(i);
    // A stored blank makes a row value comparison NULL; that only excludes
    // rows rightly when looking upwards (blanks sort first).
    bool nullableCols = false;
    for (std::size_t i = 0; i < n; ++i)
        nullableCols = nullableCols || !(types[i] == FieldType::Text || types[i] == FieldType::Memo ||
                                         types[i] == FieldType::AutoInc);
    if (!anyBlank && (greater || !nullableCols)) {
        // Row values let SQLite seek the index directly.
        std::string l, r;
        for (std::size_t i = 0; i < n; ++i) {
            if (i) {
                l += ",";
                r += ",";
            }
            l += cols[i];
            r += "?";
            params.push_back({types[i], values[i]});
        }
        if (n == 1) return l + " " + o + " " + r;
        return "(" + l + ") " + o + " (" + r + ")";
    }
    // Expanded form, where a blank sorts first:
    // (c1 op' v1) OR (c1 IS v1 AND c2 op' v2) OR ... [OR all equal].
    std::string out = "(";
    for (std::size_t i = 0; i < n; ++i) {
        std::string term;
        for (std::size_t j = 0; j < i; ++j) {
            term += cols[j] + " IS ? AND ";
            params.push_back({types[j], values[j]});
        }
        std::string strict;
        if (isBlank(i)) {
            strict = greater ? cols[i] + " IS NOT NULL" : "0";
        } else {
            strict = greater ? cols[i] + " > ?" : "(" + cols[i] + " < ? OR " + cols[i] + " IS NULL)";
            params.push_back({types[i], values[i]});
        }
        term += strict;
        out += (i ? " OR (" : "(") + term + ")";
    }
    if (inclusive) {
        std::string term;
        for (std::size_t j = 0; j < n; ++j) {
            term += (j ? " AND " : "") + cols[j] + " IS ?";
            params.push_back({types[j], values[j]});
        }
        out += " OR (" + term + ")";
    }
    return out + ")";
}

void fail(sqlite3* db, int rc, const std::string& what) {
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

Stmt::Stmt(sqlite3* db, const std::string& text) : db_(db), text_(text) {
    int rc = sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &st_, nullptr);
    if (rc != SQLITE_OK) fail(db, rc, "Preparing statement");
}
Stmt::~Stmt() {
    sqlite3_finalize(st_);
}

bool Stmt::step() {
    fault::beforeStep(st_);
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(db_, rc, "Executing statement");
}

void Stmt::exec() {
    while (step()) {
    }
}

void execSimple(sqlite3* db, const std::string& text) {
    fault::beforeStatement(db, text == "ROLLBACK");
    char* err = nullptr;
    int rc = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string m = err ? err : "";
        sqlite3_free(err);
        fail(db, rc, m.empty() ? text : m);
    }
}

} // namespace vm::sql
