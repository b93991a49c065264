#include "engine/FaultInjection.h"
#include "engine/SqlUtil.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

// The server backend: the tables of one location live in one schema of a
// PostgreSQL database, reached through libpq.
//
// - Every table gets a column `rowid` (an identity, the primary key of the
//   row) after its fields; an auto-increment field reads it through a
//   generated column, as SQLite's INTEGER PRIMARY KEY is the row id itself.
// - Field names are folded to lower case, so that the unquoted names of the
//   queries written by the modules find them as they do in SQLite.
// - Text is `text COLLATE "C"` (compared byte by byte), money a bigint of
//   ten-thousandths, dates ISO text as in the file backend; blanks (NULL)
//   sort first, as in SQLite.
// - The database's write lock is a transaction-level advisory lock keyed
//   from the schema: taken at the first write and held to commit or
//   rollback, exactly like SQLite's, so that a posting reads what it changes
//   under the lock; a write outside a transaction takes it for its own
//   statement. Waiting is bounded by lock_timeout (the busy time-out).
// - Record locks are session-level advisory locks keyed from the schema, the
//   table and the row id, taken on a connection of their own. Advisory
//   rather than row locks: a row lock lives in a transaction, and a user
//   sitting in an edit holds a record, never a transaction; and the server
//   lets a session's advisory locks go the moment its connection ends, so a
//   workstation that dies or loses the network leaves no record locked. The
//   own connection keeps them apart from the transactions of the main one (a
//   statement failing in a transaction cannot stop a lock from being let go).
namespace vm::backend {

namespace {

constexpr const char* kDefaultSchema = "valmorand";

std::uint64_t fnv(std::string_view s) {
    std::uint64_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::string trimmed(const char* m) {
    std::string s = m ? m : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

bool startsWithWord(std::string_view text, std::string_view word) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\t' || text[i] == '('))
        ++i;
    return text.size() - i >= word.size() && sql::iequal(text.substr(i, word.size()), word);
}

[[noreturn]] void failResult(PGconn* conn, PGresult* res, const std::string& what) {
    if (PQstatus(conn) == CONNECTION_BAD) {
        std::string m = trimmed(PQerrorMessage(conn));
        PQclear(res);
        throw EngineError(errc::kIo, "The connection to the PostgreSQL server was lost: " + m);
    }
    const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    const std::string code = state ? state : "";
    std::string msg = what + ": " + trimmed(res ? PQresultErrorMessage(res) : PQerrorMessage(conn));
    PQclear(res);
    if (code == "23505") throw EngineError(errc::kKeyViolation, "Key violation. " + msg);
    if (code == "23502") throw EngineError(errc::kRequiredField, "Field value required. " + msg);
    if (code == "55P03" || code == "40P01" || code == "40001")
        throw EngineError(errc::kDatabaseBusy, "Database is busy: " + msg);
    throw EngineError(errc::kSql, msg);
}

// A statement's answer in a pipeline (null when the connection is gone).
PGresult* takeAnswer(PGconn* c) {
    PGresult* r = PQgetResult(c);
    if (r)
        while (PGresult* more = PQgetResult(c))
            PQclear(more);
    return r;
}

// Reads a pipeline sync's answer, the statements before it answered.
void awaitSync(PGconn* c) {
    for (int guard = 0; guard < 3; ++guard) {
        PGresult* r = PQgetResult(c);
        if (!r && PQstatus(c) == CONNECTION_BAD) return;
        const bool sync = r && PQresultStatus(r) == PGRES_PIPELINE_SYNC;
        PQclear(r);
        if (sync) return;
    }
}

// "?" parameters to "$n", outside quotes; returns the count.
std::string numberParams(const std::string& text, int& count) {
    std::string out;
    out.reserve(text.size() + 8);
    count = 0;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote) quote = 0;
            out += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?') {
            out += '$' + std::to_string(++count);
        } else {
            out += c;
        }
    }
    return out;
}

std::string hexBytes(const Bytes& b) {
    static const char* digits = "0123456789abcdef";
    std::string s = "\\x";
    for (auto c : b) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

Bytes unhexBytes(std::string_view s) {
    Bytes out;
    if (s.size() < 2 || s[0] != '\\' || s[1] != 'x') return out;
    auto val = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (std::size_t i = 2; i + 1 < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(val(s[i]) * 16 + val(s[i + 1])));
    return out;
}

constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;

// The values of parameters as libpq takes them (a blank is a null pointer).
std::vector<const char*> cStrings(const std::optional<std::string>* from, std::size_t n) {
    std::vector<const char*> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = from[i] ? from[i]->c_str() : nullptr;
    return out;
}

class PgConnection;

class PgStatement final : public Statement {
public:
    PgStatement(PgConnection& conn, std::string text, int params, bool persistent);
    ~PgStatement() override;
    void bind(int pos, FieldType t, const Value& v) override;
    void bindNatural(int pos, const Value& v) override;
    bool step() override;
    void reset() override {
        PQclear(res_);
        res_ = nullptr;
        row_ = -1;
        for (auto& p : params_)
            p.reset();
    }
    bool underway() const override { return res_ != nullptr; }
    // Takes a result read elsewhere (a statement that never runs itself).
    void adopt(PGresult* r) {
        PQclear(res_);
        res_ = r;
        row_ = -1;
    }
    int columnCount() const override { return PQnfields(run()); }
    std::string columnName(int i) const override { return PQfname(run(), i); }
    ColumnClass columnClass(int i) const override {
        if (PQgetisnull(res_, row_, i)) return ColumnClass::Null;
        switch (PQftype(res_, i)) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8:
            return ColumnClass::Integer;
        case kFloat4:
        case kFloat8:
            return ColumnClass::Real;
        case kNumeric:
            return std::strchr(PQgetvalue(res_, row_, i), '.') ? ColumnClass::Real : ColumnClass::Integer;
        case kBytea:
            return ColumnClass::Blob;
        default:
            return ColumnClass::Text;
        }
    }
    std::int64_t columnInt(int i) const override {
        const char* p = PQgetvalue(res_, row_, i);
        if (PQftype(res_, i) == kBool) return *p == 't' ? 1 : 0;
        if (std::strchr(p, '.')) return std::llround(std::strtod(p, nullptr));
        return std::strtoll(p, nullptr, 10);
    }
    double columnReal(int i) const override { return std::strtod(PQgetvalue(res_, row_, i), nullptr); }
    std::string_view columnText(int i) const override {
        if (PQftype(res_, i) == kBool && !PQgetisnull(res_, row_, i))
            return *PQgetvalue(res_, row_, i) == 't' ? "1" : "0";
        return {PQgetvalue(res_, row_, i), static_cast<std::size_t>(PQgetlength(res_, row_, i))};
    }
    Value column(int i, FieldType t) const override {
        if (PQgetisnull(res_, row_, i))
            return (t == FieldType::Text || t == FieldType::Memo) ? Value(std::string()) : Value();
        const std::string_view text = columnText(i);
        switch (t) {
        case FieldType::Text:
        case FieldType::Memo:
            return Value(std::string(text));
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::AutoInc:
            return Value(columnInt(i));
        case FieldType::Float:
            return Value(columnReal(i));
        case FieldType::Money:
            return Value(Money::fromRaw(columnInt(i)));
        case FieldType::Boolean:
            return Value(columnInt(i) != 0);
        case FieldType::Date:
            return Value(Date::fromIso(text).value_or(Date()));
        case FieldType::DateTime:
            return Value(DateTime::fromIso(std::string(text)).value_or(DateTime()));
        case FieldType::Time:
            return Value(Time::fromIso(std::string(text)).value_or(Time()));
        case FieldType::Blob:
        case FieldType::Bytes:
            return Value(unhexBytes(text));
        }
        return Value();
    }
    Value columnNatural(int i) const override {
        switch (columnClass(i)) {
        case ColumnClass::Null:
            return Value();
        case ColumnClass::Integer:
            return Value(columnInt(i));
        case ColumnClass::Real:
            return Value(columnReal(i));
        case ColumnClass::Blob:
            return column(i, FieldType::Blob);
        default:
            return column(i, FieldType::Text);
        }
    }
    std::int64_t loadRow(const std::vector<FieldDef>& fields, std::vector<Value>& row) const override {
        for (std::size_t i = 0; i < fields.size(); ++i)
            row[i] = column(static_cast<int>(i + 1), fields[i].type);
        return columnInt(0);
    }
    bool columnOrigin(int i, std::string& table, std::string& field) const override;
    bool readOnly() const override;
    void runLater() override;

private:
    std::vector<const char*> paramValues() const;
    void prepareOnce() const;
    PGresult* run() const; // runs the statement when it has not run yet
    PGresult* declare() const;
    void fetch() const;

    PgConnection& conn_;
    std::string text_, name_;
    mutable bool prepared_ = false;
    std::vector<std::optional<std::string>> params_;
    mutable PGresult* res_ = nullptr;
    mutable int row_ = -1;
    bool writes_ = false;
    // A query on the reading connection goes through a server-side cursor,
    // fetched in batches, so that it never holds its whole result.
    bool streams_ = false;
    mutable std::string cursor_;
    mutable int fetchRows_ = 0; // rows its last fetch asked for
};

class PgConnection final : public Connection {
public:
    PgConnection(const std::string& uri, const std::string& schema, fault::State* f) {
        fault = f;
        // A server that does not answer (a host switched off) is given up
        // after a while instead of holding the program for minutes; a time
        // given in the URI or in PGCONNECT_TIMEOUT comes first.
        const char* keys[] = {"connect_timeout", "dbname", nullptr};
        const char* values[] = {std::getenv("PGCONNECT_TIMEOUT") ? nullptr : "10", uri.c_str(), nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string m = trimmed(PQerrorMessage(conn_));
            PQfinish(conn_);
            throw EngineError(errc::kIo, "Cannot connect to the PostgreSQL server: " + m);
        }
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        schema_ = schema;
    }
    ~PgConnection() override { PQfinish(conn_); }
    // Unqualified names find the location's tables.
    void useSchema() {
        run("SET search_path TO " + sql::quoteIdent(schema_) + "; SET client_min_messages TO warning", false);
    }
    PGconn* handle() const { return conn_; }

    std::unique_ptr<Statement> prepare(const std::string& text, bool persistent) override {
        int n = 0;
        std::string numbered = numberParams(text, n);
        return std::make_unique<PgStatement>(*this, std::move(numbered), n, persistent);
    }
    // Runs text (several statements allowed) and checks each result.
    void run(const std::string& text, bool counted = true,
             const std::function<void(int, const PGresult*)>& rows = nullptr) {
        const bool rollback = text == "ROLLBACK";
        if (counted) fault::beforeStatement(fault, rollback);
        settle(rollback);
        flushDeallocations();
        if (!PQsendQuery(conn_, text.c_str())) failResult(conn_, nullptr, "Executing statement");
        PGresult* failed = nullptr;
        int results = 0;
        while (PGresult* r = PQgetResult(conn_)) {
            const auto st = PQresultStatus(r);
            if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK && st != PGRES_EMPTY_QUERY && !failed) {
                failed = r;
                continue;
            }
            if (st == PGRES_COMMAND_OK) lastStatus_ = PQcmdStatus(r);
            if (st == PGRES_TUPLES_OK && rows && !failed) rows(results++, r);
            PQclear(r);
        }
        if (failed || PQstatus(conn_) == CONNECTION_BAD) failResult(conn_, failed, "Executing statement");
    }

    // Batches. Writes whose answers are not needed at once are sent in
    // pipeline mode and answered together with the next statement that
    // waits for its answer (one round trip to the server for all of them).
    // A failure among them is thrown there; the server has then skipped
    // what followed it, and the transaction can only be rolled back.
    bool batching = false; // in a transaction whose writes may wait
    void sendLater(const char* name, const std::string& text, const std::vector<const char*>& values) {
        if (name && gather(name, text, values)) return;
        flushGathered();
        send(name, text, values);
    }
    void send(const char* name, const std::string& text, const std::vector<const char*>& values) {
        enterPipeline();
        dispatch(name, text, values);
        // Bounded, so that neither side's socket buffer fills with answers.
        if (++pending_ >= 256) finish(false, false);
    }

    // The rows of consecutive inserts of one statement in a batch are
    // gathered and sent as inserts of many rows: most of what the server
    // spends on an insert is the running of a statement, whatever its rows.
    // A full group goes as soon as it is gathered; the rows left when
    // something else is sent go in groups of 32, 16, ... 2, 1, so that a few
    // prepared statements serve every count. Order is kept (anything else
    // sent first sends the rows gathered), and a failure among them fails
    // the batch as the single inserts would.
    struct ManyRows {
        int rows = 0;                     // rows of a full group (0: the insert is not gathered)
        int params = 0;                   // parameters of one row
        std::string head;                 // INSERT ... VALUES
        std::string row;                  // the one row, "($1, $2, ...)"
        std::map<int, std::string> names; // a group's size -> its prepared name
    };
    static ManyRows manyRowsOf(const std::string& text, int params) {
        ManyRows m;
        const auto at = text.rfind(" VALUES (");
        if (params == 0 || at == std::string::npos || !startsWithWord(text, "INSERT") || text.back() != ')')
            return m;
        m.row = text.substr(at + 8);
        if (m.row.find_first_of("'\";") != std::string::npos || m.row.find(')') != m.row.size() - 1)
            return {};
        m.params = params;
        m.rows = std::min(64, 65535 / params); // the protocol's limit of parameters
        if (m.rows < 2) return {};
        m.head = text.substr(0, at + 8);
        return m;
    }
    // The insert of `rows` rows, each row's parameters numbered after the last's.
    static std::string manyText(const ManyRows& m, int rows) {
        std::string text = m.head;
        for (int r = 0; r < rows; ++r) {
            if (r) text += ", ";
            for (std::size_t i = 0; i < m.row.size(); ++i) {
                if (m.row[i] != '$') {
                    text += m.row[i];
                    continue;
                }
                std::size_t j = i + 1;
                while (j < m.row.size() && std::isdigit(static_cast<unsigned char>(m.row[j])))
                    ++j;
                text += '$' + std::to_string(std::stoi(m.row.substr(i + 1, j - i - 1)) + r * m.params);
                i = j - 1;
            }
        }
        return text;
    }
    // Sends one statement in the pipeline, its answer read later.
    void dispatch(const char* name, const std::string& text, const std::vector<const char*>& values) {
        const int n = static_cast<int>(values.size());
        const int ok =
            name ? PQsendQueryPrepared(conn_, name, n, values.data(), nullptr, nullptr, 0)
                 : PQsendQueryParams(conn_, text.c_str(), n, nullptr, values.data(), nullptr, nullptr, 0);
        if (ok != 1) failResult(conn_, nullptr, "Sending statements");
    }
    void enterPipeline() {
        if (piped_) return;
        flushDeallocations();
        if (PQenterPipelineMode(conn_) != 1) failResult(conn_, nullptr, "Sending statements");
        piped_ = true;
    }
    bool gather(const char* name, const std::string& text, const std::vector<const char*>& values) {
        if (!batching) return false;
        enterPipeline();
        auto it = many_.find(name);
        if (it == many_.end())
            it = many_.emplace(name, manyRowsOf(text, static_cast<int>(values.size()))).first;
        ManyRows& m = it->second;
        if (m.rows == 0) return false;
        if (gatheredFor_ != name) flushGathered();
        gatheredFor_ = name;
        gatheredParams_ = m.params;
        for (const char* v : values)
            gathered_.emplace_back(v ? std::optional<std::string>(v) : std::nullopt);
        if (gathered_.size() < static_cast<std::size_t>(m.rows * m.params)) return true;
        const auto rows = takeGathered();
        sendMany(m, m.rows, rows.data());
        return true;
    }
    // Sends `rows` rows in one insert, prepared on its first use out of the
    // pipeline: a preparation is never skipped unnoticed.
    void sendMany(ManyRows& m, int rows, const std::optional<std::string>* values) {
        std::string& name = m.names[rows];
        if (name.empty()) {
            settle();
            const std::string fresh = nextName();
            PGresult* r = PQprepare(conn_, fresh.c_str(), manyText(m, rows).c_str(), 0, nullptr);
            if (PQresultStatus(r) != PGRES_COMMAND_OK) failResult(conn_, r, "Preparing statement");
            PQclear(r);
            name = fresh;
        }
        send(name.c_str(), {}, cStrings(values, static_cast<std::size_t>(rows * m.params)));
    }
    std::vector<std::optional<std::string>> takeGathered() {
        gatheredFor_.clear();
        return std::exchange(gathered_, {});
    }
    // Sends the rows gathered so far, in groups of falling powers of two.
    void flushGathered() {
        if (gatheredFor_.empty()) return;
        const std::string name = gatheredFor_;
        const auto rows = takeGathered();
        const auto it = many_.find(name); // gone with its statement: the rows go one by one
        const auto n = static_cast<std::size_t>(gatheredParams_);
        for (std::size_t at = 0, left = rows.size() / n; left > 0;) {
            std::size_t group = 1;
            while (it != many_.end() && group * 2 <= left)
                group *= 2;
            if (group == 1)
                send(name.c_str(), {}, cStrings(rows.data() + at, n));
            else
                sendMany(it->second, static_cast<int>(group), rows.data() + at);
            at += group * n;
            left -= group;
        }
    }
    // Runs a statement after what is pending and returns its result (a
    // failed one included, for the caller to report); a failure among the
    // pending ones is thrown.
    PGresult* exchange(const char* name, const std::string& text, const std::vector<const char*>& values,
                       const char* what = "Executing statement") {
        const int n = static_cast<int>(values.size());
        flushGathered(); // may end a full pipeline: what it held is answered
        if (!piped_)
            return name ? PQexecPrepared(conn_, name, n, values.data(), nullptr, nullptr, 0)
                        : PQexecParams(conn_, text.c_str(), n, nullptr, values.data(), nullptr, nullptr, 0);
        dispatch(name, text, values);
        return finish(true, false, what);
    }
    // Waits for what is pending; throws its first failure unless `quiet`
    // (on the way to a rollback).
    void settle(bool quiet = false) {
        if (piped_) finish(false, quiet);
    }
    bool piped() const { return piped_; }

    // Ends the pipeline: a sync, then every answer. Returns the last
    // statement's result when `last` (it is not among the pending ones).
    PGresult* finish(bool last, bool quiet, const char* what = "Executing statement") {
        if (quiet) takeGathered(); // on the way to a rollback: not sent
        flushGathered();
        if (!piped_ && !last) return nullptr; // a full pipeline ended while the rows went
        const int expect = pending_ + (last ? 1 : 0);
        pending_ = 0;
        if (PQpipelineSync(conn_) != 1) failResult(conn_, nullptr, "Sending statements");
        PGresult *failed = nullptr, *mine = nullptr;
        for (int k = 0; k < expect; ++k) {
            PGresult* r = takeAnswer(conn_);
            if (!r) break; // the connection is gone
            if (last && k == expect - 1)
                mine = r;
            else if (!failed && PQresultStatus(r) == PGRES_FATAL_ERROR)
                failed = r;
            else
                PQclear(r);
        }
        awaitSync(conn_);
        PQexitPipelineMode(conn_);
        piped_ = false;
        if (failed && !quiet) {
            PQclear(mine);
            failResult(conn_, failed, what);
        }
        PQclear(failed);
        if (!mine && last) failResult(conn_, nullptr, what);
        return mine;
    }
    void exec(const std::string& text) override {
        // A whole-table write in a batch needs no answer either.
        if (batching && (startsWithWord(text, "DELETE") || startsWithWord(text, "UPDATE"))) {
            fault::beforeStatement(fault);
            sendLater(nullptr, text, {});
            return;
        }
        // One statement after what is pending (a BEGIN sent ahead) goes
        // with it.
        if (piped_ && text.find(';') == std::string::npos) {
            fault::beforeStatement(fault);
            PGresult* r = exchange(nullptr, text, {});
            if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
                failResult(conn_, r, "Executing statement");
            noteChanges(r);
            PQclear(r);
            return;
        }
        run(text);
    }
    std::int64_t changes() const override { return changes_; }
    std::int64_t insertedRowId(Statement& insert) override { return insert.columnInt(0); }

    bool idle() const { return PQtransactionStatus(conn_) == PQTRANS_IDLE; }
    std::string nextName() { return "vm" + std::to_string(++names_); }
    void deallocateLater(std::string name) {
        if (auto it = many_.find(name); it != many_.end()) {
            for (auto& [rows, many] : it->second.names)
                if (!many.empty()) dealloc_.push_back(many);
            many_.erase(it);
        }
        dealloc_.push_back(std::move(name));
    }
    void flushDeallocations() {
        if (dealloc_.empty() || piped_ || !idle()) return;
        std::string text;
        for (const auto& n : dealloc_)
            text += "DEALLOCATE " + n + ";";
        dealloc_.clear();
        PGresult* r = PQexec(conn_, text.c_str());
        PQclear(r);
    }
    void noteChanges(PGresult* r) {
        const char* n = PQcmdTuples(r);
        changes_ = (n && *n) ? std::strtoll(n, nullptr, 10) : 0;
    }
    // The text that takes the database's write lock in a new transaction,
    // and the statement that takes it in the transaction under way.
    std::string beginWrite, lockWrite;
    bool ownLock = true; // the next write outside a transaction takes the lock
    // The reading connection: its queries are server-side cursors, in one
    // read-only transaction while any is open.
    bool streaming = false;
    int openCursors = 0;
    bool spoiled = false; // a statement failed in the reading transaction
    void cursorClosed() {
        if (--openCursors > 0 || idle()) return;
        PQclear(PQexec(conn_, spoiled ? "ROLLBACK" : "COMMIT"));
        spoiled = false;
    }
    const std::string& lastStatus() const { return lastStatus_; }

    // The table and field of a result column's origin.
    bool origin(Oid table, int attnum, std::string& name, std::string& field) {
        const auto key = std::make_pair(table, attnum);
        auto it = origins_.find(key);
        if (it == origins_.end()) {
            settle();
            const std::string q = "SELECT c.relname, a.attname FROM pg_class c JOIN pg_attribute a ON "
                                  "a.attrelid = c.oid WHERE c.oid = " +
                                  std::to_string(table) + " AND a.attnum = " + std::to_string(attnum);
            PGresult* r = PQexec(conn_, q.c_str());
            std::pair<std::string, std::string> v;
            if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
                v = {PQgetvalue(r, 0, 0), PQgetvalue(r, 0, 1)};
            PQclear(r);
            it = origins_.emplace(key, v).first;
        }
        name = it->second.first;
        field = it->second.second;
        return !name.empty();
    }

private:
    PGconn* conn_ = nullptr;
    std::string schema_;
    std::int64_t changes_ = 0;
    bool piped_ = false; // in pipeline mode, with pending_ answers to read
    int pending_ = 0;
    int names_ = 0;
    std::vector<std::string> dealloc_;
    std::map<std::string, ManyRows> many_; // by the name of the one-row insert
    std::string gatheredFor_;              // the insert whose rows are gathered
    int gatheredParams_ = 0;               // its parameters
    std::vector<std::optional<std::string>> gathered_;
    std::string lastStatus_;
    std::map<std::pair<Oid, int>, std::pair<std::string, std::string>> origins_;
};

PgStatement::PgStatement(PgConnection& conn, std::string text, int params, bool persistent)
    : conn_(conn), text_(std::move(text)), params_(static_cast<std::size_t>(params)) {
    if (persistent) name_ = conn.nextName();
    streams_ = conn.streaming && !persistent;
    writes_ =
        startsWithWord(text_, "INSERT") || startsWithWord(text_, "UPDATE") || startsWithWord(text_, "DELETE");
}

PgStatement::~PgStatement() {
    PQclear(res_);
    if (prepared_) conn_.deallocateLater(name_);
    if (!cursor_.empty()) {
        // The last cursor's COMMIT closes it; another one is closed alone.
        if (conn_.openCursors > 1 && !conn_.idle() && !conn_.spoiled)
            PQclear(PQexec(conn_.handle(), ("CLOSE " + cursor_).c_str()));
        conn_.cursorClosed();
    }
}

// A query's first fetch, then each twice the last up to a bound: a few
// rows come in one round trip, many in a few.
constexpr int kFetchRows = 500, kMaxFetchRows = 4000;

// The read-only transaction (when none is open), the cursor and its first
// rows go in one round trip.
PGresult* PgStatement::declare() const {
    PGconn* c = conn_.handle();
    if (!readOnly()) throw EngineError(errc::kSql, "A query may only read");
    const std::string name = conn_.nextName();
    if (conn_.idle()) conn_.sendLater(nullptr, "BEGIN READ ONLY", {});
    conn_.sendLater(nullptr, "DECLARE " + name + " NO SCROLL CURSOR FOR " + text_, paramValues());
    auto giveUp = [&] {
        if (conn_.openCursors == 0)
            PQclear(PQexec(c, "ROLLBACK"));
        else
            conn_.spoiled = true;
    };
    PGresult* r = nullptr;
    try {
        fetchRows_ = kFetchRows;
        r = conn_.exchange(nullptr, "FETCH " + std::to_string(fetchRows_) + " FROM " + name, {}, "SQL error");
    } catch (...) {
        giveUp();
        throw;
    }
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        giveUp();
        failResult(c, r, "SQL error");
    }
    cursor_ = name;
    ++conn_.openCursors;
    res_ = r;
    row_ = -1;
    return res_;
}

void PgStatement::fetch() const {
    PQclear(res_);
    res_ = nullptr;
    PGconn* c = conn_.handle();
    fetchRows_ = std::min(2 * fetchRows_, kMaxFetchRows);
    PGresult* r = PQexec(c, ("FETCH " + std::to_string(fetchRows_) + " FROM " + cursor_).c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        conn_.spoiled = true;
        failResult(c, r, "SQL error");
    }
    res_ = r;
    row_ = -1;
}

void PgStatement::bind(int pos, FieldType t, const Value& v) {
    auto& p = params_.at(static_cast<std::size_t>(pos - 1));
    if (t == FieldType::Text || t == FieldType::Memo) {
        p = v.asString();
        return;
    }
    if (v.isNull()) {
        p.reset();
        return;
    }
    switch (t) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc:
        p = std::to_string(v.asInt());
        break;
    case FieldType::Float: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v.asDouble());
        p = buf;
        break;
    }
    case FieldType::Money:
        p = std::to_string(v.asMoney().raw());
        break;
    case FieldType::Boolean:
        p = v.asBool() ? "1" : "0";
        break;
    case FieldType::Date:
        p = v.asDate().toIso();
        break;
    case FieldType::DateTime:
        p = v.asDateTime().toIso();
        break;
    case FieldType::Time:
        p = v.asTime().toIso();
        break;
    case FieldType::Blob:
    case FieldType::Bytes:
        p = hexBytes(v.asBytes());
        break;
    default:
        p = v.asString();
        break;
    }
}

void PgStatement::bindNatural(int pos, const Value& v) {
    const auto& s = v.storage();
    if (v.isNull())
        params_.at(static_cast<std::size_t>(pos - 1)).reset();
    else if (std::holds_alternative<std::int64_t>(s))
        bind(pos, FieldType::Int32, v);
    else if (std::holds_alternative<double>(s))
        bind(pos, FieldType::Float, v);
    else if (std::holds_alternative<Money>(s))
        bind(pos, FieldType::Money, v);
    else if (std::holds_alternative<Date>(s))
        bind(pos, FieldType::Date, v);
    else if (std::holds_alternative<DateTime>(s))
        bind(pos, FieldType::DateTime, v);
    else if (std::holds_alternative<Time>(s))
        bind(pos, FieldType::Time, v);
    else if (std::holds_alternative<bool>(s))
        bind(pos, FieldType::Boolean, v);
    else if (std::holds_alternative<Bytes>(s))
        bind(pos, FieldType::Blob, v);
    else
        bind(pos, FieldType::Text, v);
}

PGresult* PgStatement::run() const {
    if (res_) return res_;
    if (streams_) return declare();
    PGconn* c = conn_.handle();
    if (!conn_.piped()) conn_.flushDeallocations();
    prepareOnce();
    const auto values = paramValues();
    const char* name = name_.empty() ? nullptr : name_.c_str();
    // A write outside a transaction takes the write lock for itself: the
    // lock and the write go in one pipeline, an implicit transaction that
    // the server commits at its end (one round trip).
    if (writes_ && conn_.idle()) {
        if (conn_.ownLock && !conn_.beginWrite.empty()) conn_.sendLater(nullptr, conn_.lockWrite, {});
        conn_.ownLock = true;
    }
    PGresult* r = conn_.exchange(name, text_, values);
    const auto st = PQresultStatus(r);
    if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) failResult(c, r, "Executing statement");
    conn_.noteChanges(r);
    res_ = r;
    row_ = -1;
    return res_;
}

void PgStatement::runLater() {
    if (!conn_.batching || !writes_ || name_.empty() || res_) {
        step();
        return;
    }
    fault::beforeStep(conn_.fault, false);
    prepareOnce();
    conn_.sendLater(name_.c_str(), text_, paramValues());
}

// A kept statement is prepared on its first run, and only once it is known
// to be (a failed preparation is tried again the next time).
void PgStatement::prepareOnce() const {
    if (name_.empty() || prepared_) return;
    conn_.settle();
    PGconn* c = conn_.handle();
    PGresult* r = PQprepare(c, name_.c_str(), text_.c_str(), static_cast<int>(params_.size()), nullptr);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) failResult(c, r, "Preparing statement");
    PQclear(r);
    prepared_ = true;
}

std::vector<const char*> PgStatement::paramValues() const {
    return cStrings(params_.data(), params_.size());
}

bool PgStatement::step() {
    if (!res_) {
        fault::beforeStep(conn_.fault, false);
        run();
    }
    if (row_ + 1 >= PQntuples(res_)) {
        if (!streams_ || PQntuples(res_) < fetchRows_) {
            row_ = PQntuples(res_);
            return false;
        }
        fetch(); // the next batch of the server-side cursor
        if (PQntuples(res_) == 0) return false;
    }
    ++row_;
    return true;
}

bool PgStatement::columnOrigin(int i, std::string& table, std::string& field) const {
    const Oid t = PQftable(run(), i);
    const int col = PQftablecol(res_, i);
    if (t == InvalidOid || col <= 0) return false;
    return conn_.origin(t, col, table, field);
}

bool PgStatement::readOnly() const {
    if (!startsWithWord(text_, "SELECT") && !startsWithWord(text_, "WITH") &&
        !startsWithWord(text_, "VALUES"))
        return false;
    // A WITH may hide a writing statement.
    std::string word;
    char quote = 0;
    for (char c : text_ + " ") {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            word.clear();
            continue;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_') {
            word += c;
            continue;
        }
        for (const char* w : {"INSERT", "UPDATE", "DELETE", "MERGE", "TRUNCATE", "CREATE", "DROP", "ALTER"})
            if (sql::iequal(word, w)) return false;
        word.clear();
    }
    return true;
}

class PgRecordLocks final : public RecordLocks {
public:
    PgRecordLocks(std::string uri, std::string schema, std::int64_t writeKey)
        : uri_(std::move(uri)), schema_(std::move(schema)), writeKey_(writeKey) {}
    ~PgRecordLocks() override { forget(this); }
    void setBusyTimeout(int ms) {
        busyMs_ = ms > 0 ? ms : 1;
        if (conn_) connection().run(lockTimeoutSql(), false);
    }

protected:
    bool tryLock(std::int64_t key) override {
        awaitUnlocks();
        return lockWith(callSql("pg_try_advisory_lock", key), key);
    }
    // The lock and the row's read go in one round trip, a sync between
    // them: each is a transaction of its own, so that the read's snapshot is
    // taken with the lock held, whatever the server's isolation level.
    // Waiting out a writer goes in the lock's statement: the database's
    // write lock taken shared, only once the record's is held.
    bool tryLockAndRead(std::int64_t key, const std::string& rowSql, std::int64_t rowId,
                        std::unique_ptr<Statement>& row, bool afterWriter) override {
        awaitUnlocks();
        const std::string lock = afterWriter
                                     ? "SELECT CASE WHEN " + callSql("pg_try_advisory_lock", key).substr(7) +
                                           " THEN (SELECT true FROM pg_advisory_xact_lock_shared(" +
                                           std::to_string(writeKey_) + ")) ELSE false END"
                                     : callSql("pg_try_advisory_lock", key);
        if (rowSql.empty()) return lockWith(lock, key);
        PgConnection& conn = connection();
        PGconn* c = conn.handle();
        const std::string name = preparedRead(c, rowSql);
        const std::string id = std::to_string(rowId);
        const char* values[] = {id.c_str()};
        if (PQenterPipelineMode(c) != 1) failResult(c, nullptr, "Record lock");
        const bool sent = PQsendQueryParams(c, lock.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
                          PQpipelineSync(c) == 1 &&
                          PQsendQueryPrepared(c, name.c_str(), 1, values, nullptr, nullptr, 0) == 1 &&
                          PQpipelineSync(c) == 1;
        PGresult* locked = sent ? answer(c) : nullptr;
        PGresult* read = sent ? answer(c) : nullptr;
        PQexitPipelineMode(c);
        if (PQresultStatus(locked) != PGRES_TUPLES_OK) {
            PQclear(read);
            release(key); // the wait failed with the record's lock held
            failResult(c, locked, "Record lock");
        }
        const bool got = *PQgetvalue(locked, 0, 0) == 't';
        PQclear(locked);
        if (!got) {
            PQclear(read);
            return false;
        }
        if (PQresultStatus(read) != PGRES_TUPLES_OK) {
            reads_.erase(rowSql); // prepared again next time: the table may have changed
            PQclear(PQexec(c, ("DEALLOCATE " + name).c_str()));
            release(key);
            failResult(c, read, "Executing statement");
        }
        auto st = std::make_unique<PgStatement>(conn, rowSql, 0, false);
        st->adopt(read);
        row = std::move(st);
        return true;
    }
    void release(std::int64_t key) override {
        try {
            PQclear(call("pg_advisory_unlock", key));
        } catch (const EngineError&) {
            // The connection is gone, and with it every lock it held.
        }
    }
    // Sent, its answer read before the connection's next statement.
    void releaseLater(std::int64_t key) override {
        try {
            PGconn* c = connection().handle();
            if (PQsendQuery(c, callSql("pg_advisory_unlock", key).c_str()) != 1)
                return; // the connection is gone
            unanswered_ = true;
            remember(this);
        } catch (const EngineError&) {
        }
    }

private:
    // The record locks of this thread whose unlock is not yet answered: a
    // lock taken by any session of the thread waits for them first, so that
    // a lock let go here is never met as held by the next session here.
    // Kept in plain storage: a module library unloaded before its thread
    // ends leaves nothing to destroy. A child forked with some listed leaves
    // them to its parent, whose connections they are.
    struct Unanswered {
        PgRecordLocks* locks[16];
        int count;
        pid_t owner;
    };
    static Unanswered& unanswered() {
        thread_local Unanswered list{};
        if (list.owner != getpid()) list = {{}, 0, getpid()};
        return list;
    }
    static void forget(PgRecordLocks* l) {
        Unanswered& u = unanswered();
        const auto end = std::remove(u.locks, u.locks + u.count, l);
        u.count = static_cast<int>(end - u.locks);
    }
    static void remember(PgRecordLocks* l) {
        Unanswered& u = unanswered();
        if (u.count == static_cast<int>(std::size(u.locks))) u.locks[0]->answerUnlock();
        u.locks[u.count++] = l;
    }
    static void awaitUnlocks() {
        for (Unanswered& u = unanswered(); u.count > 0;)
            u.locks[u.count - 1]->answerUnlock();
    }
    void answerUnlock() {
        forget(this);
        if (!unanswered_) return;
        unanswered_ = false;
        PQclear(takeAnswer(conn_->handle()));
    }
    PgConnection& connection() {
        if (unanswered_) answerUnlock();
        if (!conn_) {
            auto conn = std::make_unique<PgConnection>(uri_, schema_, nullptr);
            conn->useSchema();
            conn->run(lockTimeoutSql(), false);
            conn_ = std::move(conn);
        }
        return *conn_;
    }
    std::string lockTimeoutSql() const { return "SET lock_timeout = " + std::to_string(busyMs_); }
    // Runs a lock statement (one boolean); a failure (the wait for a writer
    // past the busy time-out) leaves the record's lock not held.
    bool lockWith(const std::string& text, std::int64_t key) {
        PGconn* c = connection().handle();
        PGresult* r = PQexec(c, text.c_str());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            release(key);
            failResult(c, r, "Record lock");
        }
        const bool got = *PQgetvalue(r, 0, 0) == 't';
        PQclear(r);
        return got;
    }
    // Two 32-bit keys: the schema with the table, then the row id.
    std::string callSql(const char* fn, std::int64_t key) const {
        const auto k1 = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(fnv(schema_) ^ static_cast<std::uint64_t>(key >> 32) * 2654435761u));
        const auto k2 = static_cast<std::int32_t>(static_cast<std::uint32_t>(key & 0xFFFFFFFF));
        return std::string("SELECT ") + fn + "(" + std::to_string(k1) + ", " + std::to_string(k2) + ")";
    }
    PGresult* call(const char* fn, std::int64_t key) {
        PGconn* c = connection().handle();
        PGresult* r = PQexec(c, callSql(fn, key).c_str());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) failResult(c, r, "Record lock");
        return r;
    }
    // A row's read, prepared on the locks' connection once per text.
    std::string preparedRead(PGconn* c, const std::string& rowSql) {
        auto it = reads_.find(rowSql);
        if (it != reads_.end()) return it->second;
        int n = 0;
        const std::string name = "vmr" + std::to_string(++prepared_);
        PGresult* r = PQprepare(c, name.c_str(), numberParams(rowSql, n).c_str(), 0, nullptr);
        if (PQresultStatus(r) != PGRES_COMMAND_OK) failResult(c, r, "Preparing statement");
        PQclear(r);
        return reads_[rowSql] = name;
    }
    // A statement's answer in the pipeline, then its sync's.
    static PGresult* answer(PGconn* c) {
        PGresult* r = takeAnswer(c);
        awaitSync(c);
        return r;
    }

    std::string uri_, schema_;
    std::int64_t writeKey_; // the database's write lock
    int busyMs_ = 1;
    std::unique_ptr<PgConnection> conn_;
    bool unanswered_ = false;                  // an unlock sent, its answer not yet read
    std::map<std::string, std::string> reads_; // a row read's text -> its prepared name
    int prepared_ = 0;
};

// The advisory lock that a transaction writing the schema's shared tables
// holds to its end.
std::int64_t writeLockKey(const std::string& schema) {
    return static_cast<std::int64_t>(fnv("valmorand:" + schema));
}

const Dialect kPgDialect{"TRUE", "FALSE", "IS NOT DISTINCT FROM", " NULLS FIRST", " DESC NULLS LAST",
                         200,    1600};

const char* pgType(FieldType t) {
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::Time:
        return "text COLLATE \"C\"";
    case FieldType::Float:
        return "double precision";
    case FieldType::Blob:
    case FieldType::Bytes:
        return "bytea";
    default:
        return "bigint";
    }
}

class PgBackend final : public Backend {
public:
    PgBackend(const std::string& uri, const std::string& schema, int busyTimeoutMs, fault::State* f)
        : uri_(uri), schema_(schema), locks_(uri, schema, writeLockKey(schema)) {
        main_ = std::make_unique<PgConnection>(uri, schema, f);
        const std::string s = sql::quoteIdent(schema);
        const std::int64_t key = writeLockKey(schema);
        main_->beginWrite = "BEGIN; SELECT pg_advisory_xact_lock(" + std::to_string(key) + ")";
        // Two programs opening a new schema at once: one makes it.
        main_->run(
            "BEGIN; SELECT pg_advisory_xact_lock(" + std::to_string(key) + "); CREATE SCHEMA IF NOT EXISTS " +
                s + "; CREATE TABLE IF NOT EXISTS " + s +
                "._vm_catalog (name text COLLATE \"C\" PRIMARY KEY, display text NOT NULL, def text NOT "
                "NULL); CREATE TABLE IF NOT EXISTS " +
                s + "._vm_version (v bigint NOT NULL); INSERT INTO " + s +
                "._vm_version SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM " + s + "._vm_version); COMMIT",
            false);
        main_->useSchema();
        setBusyTimeout(busyTimeoutMs);
        main_->lockWrite = "SELECT pg_advisory_xact_lock(" + std::to_string(key) + ")";
        versionStmt_ = main_->prepare("SELECT v FROM _vm_version", true);
    }
    ~PgBackend() override {
        versionStmt_.reset();
        reader_.reset();
    }

    const Dialect& dialect() const override { return kPgDialect; }
    Connection& main() override { return *main_; }
    // Queries outside a write read on a connection of their own, through
    // server-side cursors, as SQLite's queries read on their own connection.
    Connection& reader() override {
        if (!reader_) {
            reader_ = std::make_unique<PgConnection>(uri_, schema_, main_->fault);
            reader_->useSchema();
            reader_->streaming = true;
        }
        return *reader_;
    }
    // The write lock, and the schema's version read in the same round trip:
    // no other connection changes the tables while the lock is held, so the
    // version read here stands until this connection changes them itself.
    // A batch also takes there the row ids its tables took in the last one.
    void begin(bool batch, bool lock) override {
        if (!lock) {                                // a work table's write: no lock, no version
            main_->sendLater(nullptr, "BEGIN", {}); // goes with the write
            inWrite_ = true;
            main_->batching = batch;
            workAhead_ = false;
            return;
        }
        std::string text = main_->beginWrite + "; SELECT v FROM _vm_version";
        std::map<std::string, int> ahead;
        if (batch)
            for (const auto& [table, use] : lastUse_)
                ahead[table] = use.first;
        if (!ahead.empty()) text += "; " + reserveSql(ahead);
        try {
            main_->run(text, true, [&](int i, const PGresult* r) {
                if (i == 1) readVersion(r);
                if (i == 2) takeIds(r, true);
            });
        } catch (...) {
            reserved_.clear();
            if (!main_->idle()) PQclear(PQexec(main_->handle(), "ROLLBACK"));
            throw;
        }
        inWrite_ = versionKnown_ = locked_ = true;
        main_->batching = batch;
    }
    void lockWrites() override {
        main_->run(main_->lockWrite + "; SELECT v FROM _vm_version", true, [&](int i, const PGresult* r) {
            if (i == 1) readVersion(r);
        });
        versionKnown_ = locked_ = true;
    }
    // Work tables are written by one session only, and unlogged: their
    // writes wait for nobody, and a transaction that wrote only them
    // commits without waiting for the server's log to reach the disk.
    void nextWriteLocks(bool lock) override { main_->ownLock = lock; }
    void commit() override {
        std::string status;
        if (main_->piped()) { // the COMMIT goes with the writes still unanswered
            fault::beforeStatement(main_->fault);
            PGresult* r = main_->exchange(nullptr, "COMMIT", {});
            if (PQresultStatus(r) != PGRES_COMMAND_OK) failResult(main_->handle(), r, "Executing statement");
            status = PQcmdStatus(r);
            PQclear(r);
        } else {
            main_->run("COMMIT");
            status = main_->lastStatus();
        }
        endWrite();
        // The server answers a COMMIT of a transaction in which a statement
        // failed by rolling it back: that is no commit.
        if (status == "ROLLBACK")
            throw EngineError(errc::kTransaction,
                              "The transaction was rolled back: a statement in it had failed");
    }
    void rollback() override {
        endWrite();
        main_->run("ROLLBACK");
    }
    std::int64_t schemaVersion() override {
        if (inWrite_ && versionKnown_) return version_;
        const std::int64_t v = versionStmt_->step() ? versionStmt_->columnInt(0) : -1;
        versionStmt_->reset();
        version_ = v;
        versionKnown_ = inWrite_ && locked_;
        return v;
    }
    void schemaChanged() override {
        main_->run("UPDATE _vm_version SET v = v + 1", false);
        versionKnown_ = false;
        reserved_.clear();
    }
    // Row ids are taken from the table's identity under the write lock, for
    // this batch only: ids taken and not used are gaps (as rolled-back
    // inserts leave), and the ids of one batch all follow those of the
    // batches committed before it, so that they keep the order of the rows'
    // writing, as ids handed out one at a time would.
    //
    // A batch that began without the lock writes only work tables until it
    // takes it: their ids are taken there, with those of the work tables the
    // last such batches wrote, in the round trip of what waits to be sent.
    std::int64_t reserveRowId(const std::string& table) override {
        if (!main_->batching) return 0;
        Reserved& r = reserved_[table];
        if (r.at == r.ids.size()) {
            r.block = std::min(std::max(r.block * 2, 8), 1024);
            std::map<std::string, int> counts{{table, r.block}};
            if (!locked_ && !workAhead_) {
                workAhead_ = true;
                for (const auto& [t, use] : workUse_)
                    counts.emplace(t, use.first);
            }
            if (main_->piped()) {
                PGresult* res = main_->exchange(nullptr, reserveSql(counts), {});
                if (PQresultStatus(res) != PGRES_TUPLES_OK)
                    failResult(main_->handle(), res, "Executing statement");
                takeIds(res, locked_);
                PQclear(res);
            } else {
                main_->run(reserveSql(counts), false,
                           [&](int, const PGresult* res) { takeIds(res, locked_); });
            }
            if (r.at == r.ids.size()) return 0;
        }
        ++r.used;
        return r.ids[r.at++];
    }
    void setBusyTimeout(int ms) override {
        main_->run("SET lock_timeout = " + std::to_string(ms > 0 ? ms : 1), false);
        locks_.setBusyTimeout(ms);
    }
    RecordLocks& locks() override { return locks_; }

    std::string rowIdColumn(const TableDef&) const override { return "rowid"; }
    std::string column(const FieldDef& f) const override {
        return f.type == FieldType::AutoInc ? "rowid" : sql::quoteIdent(sql::lower(f.name));
    }
    std::string createTableSql(const std::string& n, const TableDef& def) const override {
        std::string ddl = (def.work ? "CREATE UNLOGGED TABLE " : "CREATE TABLE ") + sql::quoteIdent(n) + " (";
        for (const auto& f : def.fields) {
            ddl += sql::quoteIdent(sql::lower(f.name)) + " ";
            ddl +=
                f.type == FieldType::AutoInc ? "bigint GENERATED ALWAYS AS (rowid) STORED" : pgType(f.type);
            ddl += ", ";
        }
        return ddl + "rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY)";
    }
    std::string createIndexSql(const std::string& index, const std::string& table, const TableDef& def,
                               const std::vector<std::string>& fields, bool unique) const override {
        std::string cols;
        for (std::size_t i = 0; i < fields.size(); ++i)
            cols += (i ? ", " : "") + column(*def.field(fields[i])) + " NULLS FIRST";
        // A cursor's order ends with the row id: a plain index carries it, so
        // that the index alone gives the order.
        if (!unique) cols += ", rowid";
        return std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + sql::quoteIdent(index) +
               " ON " + sql::quoteIdent(table) + " (" + cols + ")";
    }
    std::string insertSuffix(const TableDef&) const override { return " RETURNING rowid"; }
    void explicitRowId(const std::string& table, const TableDef&, std::int64_t) override {
        reserved_.erase(table);
        main_->run("SELECT setval(pg_get_serial_sequence('" + sql::quoteIdent(table) +
                       "', 'rowid'), (SELECT MAX(rowid) FROM " + sql::quoteIdent(table) + "))",
                   false);
    }
    // A table just filled has no statistics until the server's autovacuum
    // comes by: until then its planner guesses, and may sort a whole table
    // for a page a cursor reads.
    void tablesFilled(const std::vector<std::string>& tables) override {
        std::string text;
        for (const auto& t : tables)
            text += (text.empty() ? "ANALYZE " : ", ") + sql::quoteIdent(t);
        main_->run(text, false);
    }
    std::string translateQuery(const std::string& text) const override;

private:
    void readVersion(const PGresult* r) { version_ = std::strtoll(PQgetvalue(r, 0, 0), nullptr, 10); }
    void endWrite() {
        if (main_->batching) {
            // What each table took the last time a batch wrote to it, for
            // the tables written in the last few batches; apart, the work
            // tables whose ids were taken without the lock.
            ++batches_;
            for (const auto& [table, r] : reserved_)
                if (r.used > 0) (r.locked ? lastUse_ : workUse_)[table] = {std::min(r.used, 1024), batches_};
            for (auto* uses : {&lastUse_, &workUse_})
                std::erase_if(*uses, [&](const auto& u) { return u.second.second + 8 < batches_; });
        }
        reserved_.clear();
        inWrite_ = versionKnown_ = locked_ = main_->batching = false;
    }
    // Row ids for several tables in one statement: (table, id) rows, none
    // for a table that is gone (dropped since the last batch).
    static std::string reserveSql(const std::map<std::string, int>& counts) {
        std::string values;
        for (const auto& [table, n] : counts)
            values += (values.empty() ? "('" : ", ('") + table + "', " + std::to_string(n) + ")";
        return "SELECT r.t, nextval(pg_get_serial_sequence(c::text, 'rowid')) FROM (VALUES " + values +
               ") r(t, n) CROSS JOIN LATERAL to_regclass(quote_ident(r.t)) c CROSS JOIN LATERAL "
               "generate_series(1, r.n) WHERE c IS NOT NULL";
    }
    // Kept in ascending order, so that rows keep the order of their writing.
    void takeIds(const PGresult* r, bool underLock) {
        for (int i = 0; i < PQntuples(r); ++i) {
            Reserved& res = reserved_[PQgetvalue(r, i, 0)];
            res.locked = underLock; // without the lock, only a work table's
            res.ids.push_back(std::strtoll(PQgetvalue(r, i, 1), nullptr, 10));
        }
        for (auto& [table, res] : reserved_) {
            res.ids.erase(res.ids.begin(), res.ids.begin() + static_cast<std::ptrdiff_t>(res.at));
            res.at = 0;
            std::sort(res.ids.begin(), res.ids.end());
            res.block = std::max(res.block, static_cast<int>(res.ids.size()));
        }
    }

    struct Reserved {
        std::vector<std::int64_t> ids;
        std::size_t at = 0;
        int block = 0, used = 0;
        bool locked = false; // taken under the write lock
    };

    std::string uri_, schema_;
    std::unique_ptr<PgConnection> main_, reader_;
    PgRecordLocks locks_;
    std::unique_ptr<Statement> versionStmt_;
    bool inWrite_ = false, versionKnown_ = false, locked_ = false;
    std::int64_t version_ = -1;
    std::map<std::string, Reserved> reserved_; // this batch's row ids, by table
    // Rows each table took in the last batch that wrote to it, and when.
    std::map<std::string, std::pair<int, std::int64_t>> lastUse_, workUse_;
    std::int64_t batches_ = 0;
    bool workAhead_ = false; // this batch has taken its work tables' ids
};

// The parenthesis closing the one at `open`; throws kSql when there is none.
std::size_t matchingParen(const std::string& text, std::size_t open) {
    int depth = 0;
    char quote = 0;
    for (std::size_t at = open; at < text.size(); ++at) {
        const char ch = text[at];
        if (quote) {
            if (ch == quote) quote = 0;
        } else if (ch == '\'' || ch == '"') {
            quote = ch;
        } else if (ch == '(') {
            ++depth;
        } else if (ch == ')' && --depth == 0) {
            return at;
        }
    }
    throw EngineError(errc::kSql, "SQL error: unbalanced parentheses");
}

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The queries of the layers above are written for both backends; what SQLite
// reads differently is rewritten here: quoted names to the folded lower
// case, LIKE without regard to case, IS between two values as the null-safe
// comparison, blanks first in ORDER BY as SQLite sorts them (each term
// without a NULLS of its own gets NULLS FIRST, or NULLS LAST after DESC).
// What has no rewriting is refused by name.
std::string PgBackend::translateQuery(const std::string& text) const {
    std::string out;
    out.reserve(text.size() + 16);
    std::size_t i = 0;
    // The ORDER BY lists being read, innermost last, each with the
    // parenthesis depth it stands at and what its current term has said.
    struct OrderBy {
        int depth;
        bool desc = false, nulls = false;
    };
    std::vector<OrderBy> orders;
    int depth = 0;
    auto endTerm = [&] {
        OrderBy& o = orders.back();
        if (!o.nulls) out.insert(out.find_last_not_of(" \n\t") + 1, o.desc ? " NULLS LAST" : " NULLS FIRST");
        o.desc = o.nulls = false;
    };
    auto nextWord = [&](std::size_t from) {
        while (from < text.size() && (text[from] == ' ' || text[from] == '\n' || text[from] == '\t'))
            ++from;
        std::size_t e = from;
        while (e < text.size() && isWordChar(text[e]))
            ++e;
        return std::make_pair(from, text.substr(from, e - from));
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\'') {
            const std::size_t e = text.find('\'', i + 1);
            const std::size_t end = e == std::string::npos ? text.size() : e + 1;
            out += text.substr(i, end - i);
            i = end;
        } else if (c == '"') {
            const std::size_t e = text.find('"', i + 1);
            const std::size_t end = e == std::string::npos ? text.size() : e + 1;
            out += sql::lower(text.substr(i, end - i));
            i = end;
        } else if (isWordChar(c)) {
            std::size_t e = i;
            while (e < text.size() && isWordChar(text[e]))
                ++e;
            const std::string word = text.substr(i, e - i);
            i = e;
            if (!orders.empty() && orders.back().depth == depth) {
                bool ends = false;
                for (const char* k : {"LIMIT", "OFFSET", "FETCH", "FOR", "UNION", "EXCEPT", "INTERSECT"})
                    ends = ends || sql::iequal(word, k);
                if (ends) {
                    endTerm();
                    orders.pop_back();
                } else if (sql::iequal(word, "DESC") || sql::iequal(word, "ASC")) {
                    orders.back().desc = sql::iequal(word, "DESC");
                } else if (sql::iequal(word, "NULLS")) {
                    orders.back().nulls = true;
                }
            }
            if (sql::iequal(word, "ORDER") && sql::iequal(nextWord(i).second, "BY")) {
                const auto [at, by] = nextWord(i);
                out += word + text.substr(i, at - i) + by;
                i = at + by.size();
                orders.push_back({depth});
            } else if (sql::iequal(word, "LIKE")) {
                out += "ILIKE";
            } else if (sql::iequal(word, "IFNULL")) {
                out += "COALESCE";
            } else if (sql::iequal(word, "IS")) {
                auto [at, w] = nextWord(i);
                bool negated = false;
                if (sql::iequal(w, "NOT")) {
                    negated = true;
                    std::tie(at, w) = nextWord(at + w.size());
                }
                const bool plain = sql::iequal(w, "NULL") || sql::iequal(w, "TRUE") ||
                                   sql::iequal(w, "FALSE") || sql::iequal(w, "DISTINCT") ||
                                   sql::iequal(w, "UNKNOWN");
                if (plain) {
                    out += word;
                } else {
                    out += negated ? "IS DISTINCT FROM" : "IS NOT DISTINCT FROM";
                    if (negated) i = at; // the NOT is part of what was written
                }
            } else if ((sql::iequal(word, "FROM") || sql::iequal(word, "JOIN")) &&
                       nextWord(i).first < text.size() && text[nextWord(i).first] == '(') {
                // A subquery in FROM needs a name on this server (SQLite
                // and later servers do without).
                const std::size_t open = nextWord(i).first;
                const std::size_t close = matchingParen(text, open);
                out += word + " (" + translateQuery(text.substr(open + 1, close - open - 1)) + ")";
                i = close + 1;
                const std::string after = nextWord(i).second;
                bool named = !after.empty();
                for (const char* k :
                     {"WHERE", "GROUP", "ORDER", "LIMIT", "OFFSET", "HAVING", "UNION", "EXCEPT", "INTERSECT",
                      "JOIN", "LEFT", "RIGHT", "INNER", "CROSS", "FULL", "ON", "WINDOW"})
                    named = named && !sql::iequal(after, k);
                if (!named) out += " AS vm_from" + std::to_string(open);
            } else if (sql::iequal(word, "TOTAL") && nextWord(i).first < text.size() &&
                       text[nextWord(i).first] == '(') {
                // SQLite's TOTAL: a real sum, 0 over no rows.
                const std::size_t open = nextWord(i).first;
                const std::size_t close = matchingParen(text, open);
                out += "CAST(COALESCE(SUM(" + translateQuery(text.substr(open + 1, close - open - 1)) +
                       "), 0) AS double precision)";
                i = close + 1;
            } else {
                for (const char* bad : {"GLOB", "strftime", "julianday", "group_concat", "printf", "iif"})
                    if (sql::iequal(word, bad))
                        throw EngineError(errc::kSql, std::string("SQL error: ") + bad +
                                                          " is not accepted on a PostgreSQL server; write it "
                                                          "in SQL both backends accept");
                // USER is the current role to this server; here it is the
                // table of the users.
                out += sql::iequal(word, "USER") ? std::string("\"user\"") : word;
            }
        } else {
            if (!orders.empty() && orders.back().depth == depth && (c == ',' || c == ')')) {
                endTerm();
                if (c == ')') orders.pop_back();
            }
            if (c == '(') ++depth;
            if (c == ')') --depth;
            out += c;
            ++i;
        }
    }
    while (!orders.empty()) {
        endTerm();
        orders.pop_back();
    }
    return out;
}

} // namespace

std::unique_ptr<Backend> openPostgres(const std::string& location, int busyTimeoutMs, fault::State* fault) {
    std::string uri = location, schema = kDefaultSchema;
    const auto hash = location.find('#');
    if (hash != std::string::npos) {
        uri = location.substr(0, hash);
        schema = sql::lower(location.substr(hash + 1));
    }
    bool ok = !schema.empty() && schema.size() <= 63 && !(schema[0] >= '0' && schema[0] <= '9');
    for (char c : schema)
        ok = ok && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
    if (!ok)
        throw EngineError(errc::kDirectory,
                          "Invalid schema name in " + location.substr(0, hash) + ": " + schema);
    return std::make_unique<PgBackend>(uri, schema, busyTimeoutMs, fault);
}

} // namespace vm::backend
