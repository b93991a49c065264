#include "engine/SqlUtil.h"

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

std::string lexCompare(const backend::Dialect& dialect, const std::vector<std::string>& cols,
                       const std::vector<FieldType>& types, const std::vector<Value>& values, const char* op,
                       std::vector<Param>& params) {
    const std::size_t n = std::min(cols.size(), values.size());
    if (n == 0) return dialect.always;
    const std::string same = std::string(" ") + dialect.isSame + " ?";
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
            term += cols[j] + same + " AND ";
            params.push_back({types[j], values[j]});
        }
        std::string strict;
        if (isBlank(i)) {
            strict = greater ? cols[i] + " IS NOT NULL" : dialect.never;
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
            term += (j ? " AND " : "") + cols[j] + same;
            params.push_back({types[j], values[j]});
        }
        out += " OR (" + term + ")";
    }
    return out + ")";
}

} // namespace vm::sql
