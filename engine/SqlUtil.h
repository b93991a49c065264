#pragma once
// Internal to the engine: the mapping between field types and SQLite storage,
// and the building blocks of the statements cursors run.
#include "engine/EngineError.h"
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <sqlite3.h>
#include <string>
#include <vector>

namespace vm::sql {

std::string quoteIdent(std::string_view name);
std::string lower(std::string_view s);
bool iequal(std::string_view a, std::string_view b);

// Converts a value to what the field stores (text cut to its size; text
// blanks stored as ""); throws kBadValue for a value of the wrong kind.
Value coerce(const FieldDef& f, const Value& v);
// Binds a value in the field's stored form (money as ten-thousandths, dates
// as ISO text).
void bind(sqlite3_stmt* st, int pos, FieldType t, const Value& v);
// Binds a value by its own kind (for SQL queries with no field to go by).
void bindNatural(sqlite3_stmt* st, int pos, const Value& v);
// Reads a column stored for a field of type t.
Value column(sqlite3_stmt* st, int col, FieldType t);
// Reads a column by its SQLite storage class.
Value columnNatural(sqlite3_stmt* st, int col);

const char* sqlType(FieldType t);

// A comparison of the tuple of columns with the tuple of values in index
// order, where a blank (NULL) sorts before everything: op is one of
// ">", ">=", "<", "<=". The values are appended to `params` with their types.
struct Param {
    FieldType type;
    Value value;
};
std::string lexCompare(const std::vector<std::string>& quotedCols, const std::vector<FieldType>& types,
                       const std::vector<Value>& values, const char* op, std::vector<Param>& params);

// Throws an EngineError for an SQLite failure, with the statement's context.
[[noreturn]] void fail(sqlite3* db, int rc, const std::string& what);

// A prepared statement that is finalized on scope exit.
class Stmt {
public:
    Stmt(sqlite3* db, const std::string& text);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    sqlite3_stmt* get() const { return st_; }
    bool step(); // true on a row, false when done; throws on failure
    void exec(); // steps to the end

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    std::string text_;
};

void execSimple(sqlite3* db, const std::string& text);

} // namespace vm::sql
