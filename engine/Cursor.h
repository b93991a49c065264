#pragma once
#include "engine/Database.h"
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vm::sql {
struct Param;
}
namespace vm::backend {
class Statement;
struct Dialect;
} // namespace vm::backend

namespace vm {

struct TableShape;

// A cursor over one table: an order (the primary key, a named index or
// insertion order), an optional range and filter, and one current row.
// Reading steps one prepared statement; only the current row is held in
// memory, so opening a cursor or ranging it costs in proportion to the rows
// visited, not to the table.
//
// Editing: edit() locks the current row (another session meets engine error
// 10241) and re-reads it, so that what is posted starts from the stored
// values; post() writes the changed fields and releases the lock; cancel()
// releases it. insert()/append() start a blank row; post() inserts it and
// makes it current.
class Cursor {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // Opens `tableName` in `db`; throws kTableNotFound.
    Cursor(Database& db, std::string_view tableName, bool readOnly = false);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    Database& database() { return db_; }
    const std::string& tableName() const { return name_; }
    const TableDef& def() const { return def_; }
    int fieldCount() const { return static_cast<int>(def_.fields.size()); }
    int fieldIndex(std::string_view fieldName) const; // throws kFieldNotFound
    bool hasField(std::string_view fieldName) const { return def_.fieldIndex(fieldName) >= 0; }
    State state() const { return state_; }
    bool readOnly() const { return readOnly_; }

    // --- order ---
    // "" selects the primary key (insertion order when there is none).
    // Throws kIndexNotFound. Keeps the current row when there is one.
    void setIndex(std::string_view indexName);
    // The index whose leading fields are these ("Cap_supplier;Cap_invoice"),
    // the primary key first; throws kIndexNotFound when none starts so.
    void setIndexFields(std::string_view semicolonSeparatedFields);
    const std::string& indexName() const { return indexName_; }
    const std::vector<std::string>& keyFields() const { return keyFields_; }

    // --- moving; each returns whether the cursor stands on a row ---
    bool first();
    bool last();
    bool next();  // at the last row: stays there and sets eof()
    bool prior(); // at the first row: stays there and sets bof()
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool hasRow() const { return hasRow_; }
    bool isEmpty();
    // Exact match on every field of the current order's key; on failure the
    // position is unchanged and false is returned.
    bool findKey(const std::vector<Value>& key);
    // First row whose key is at or after the given leading values; at the
    // end when there is none (returns false, eof set).
    bool findNearest(const std::vector<Value>& partialKey);
    // Moves to the row with this row id (as returned by rowId()).
    bool gotoRowId(std::int64_t rowId);

    // --- ranges and filters ---
    // Rows whose leading key fields lie between low and high inclusive (each
    // list may be shorter than the key). Moves to the first row of the range
    // and tells whether there is one, as first() does.
    bool setRange(const std::vector<Value>& low, const std::vector<Value>& high);
    bool setRange(const std::vector<Value>& equal) { return setRange(equal, equal); }
    void cancelRange();
    bool hasRange() const { return !rangeLow_.empty() || !rangeHigh_.empty(); }
    // Rows for which the predicate holds (it reads this cursor's values).
    void setFilter(std::function<bool(const Cursor&)> accept);
    void clearFilter();
    // Rows in the range that pass the filter.
    std::int64_t recordCount();
    // Re-reads the current row from storage (or the nearest following one
    // when it was deleted meanwhile) and sees other sessions' changes.
    void refresh();

    // Master-detail: this cursor is ranged on its order's leading fields equal
    // to `masterFields` of the master's current row, and follows the master
    // as it moves. An empty master (no row) gives an empty detail.
    void linkTo(Cursor& master, std::vector<std::string> masterFields);
    void unlink();
    // Called after every move to another row (or to none), and after post.
    int addMoveListener(std::function<void()> listener);
    void removeMoveListener(int id);

    // --- values of the current row (or of the row being edited) ---
    Value value(int field) const;
    Value value(std::string_view field) const { return value(fieldIndex(field)); }
    std::string str(std::string_view field) const { return value(field).asString(); }
    std::int64_t integer(std::string_view field) const { return value(field).asInt(); }
    double dbl(std::string_view field) const { return value(field).asDouble(); }
    Money money(std::string_view field) const { return value(field).asMoney(); }
    Date date(std::string_view field) const { return value(field).asDate(); }
    bool boolean(std::string_view field) const { return value(field).asBool(); }
    bool isNull(std::string_view field) const { return value(field).isNull(); }
    // Sets a field of the row being edited or inserted (kNotInEditMode
    // otherwise). Text longer than the field is cut to its size; a value of
    // the wrong kind throws kBadValue.
    void set(int field, const Value& v);
    void set(std::string_view field, const Value& v) { set(fieldIndex(field), v); }
    void clear(std::string_view field) { set(field, Value()); }
    // The row id of the current row (0 when none).
    std::int64_t rowId() const { return rowId_; }
    bool modified() const;

    // --- editing ---
    void insert(); // blank row; post() inserts it
    void append() { insert(); }
    void edit(); // lock and re-read the current row; throws kRecordLocked
    // Checks required fields (kRequiredField) and unique keys
    // (kKeyViolation), writes, releases the lock. The row stays current.
    void post();
    void cancel();
    // Deletes the current row (kRecordLocked when another session holds its
    // lock) and moves to the following row, or the previous at the end.
    void remove();

    // --- used by Database ---
    // Ends the live read; the cursor re-seeks from its row when it moves.
    void suspend();

private:
    void checkBrowse() const;
    void loadRowFrom(const backend::Statement& st);
    bool stepLive();
    bool openAndStep(bool forward, const std::vector<Value>* from, bool inclusive);
    void openRead(bool forward, const std::vector<Value>* from, bool inclusive, int pageRows = 0);
    std::string orderBy(bool forward) const;
    bool readRowId(std::int64_t rowId); // loads without moving the read statement
    std::string rowSql() const;         // the read of one row by its row id
    std::vector<Value> positionOf() const;
    std::vector<Value> coerceKey(const std::vector<Value>& vals) const;
    std::string baseCondition(std::vector<sql::Param>& params) const;
    void finalizeStmt();
    void freshSnapshot();
    void notifyMoved();
    void onMasterMoved();
    void setNoRow();
    void applyOrder(std::vector<std::string> fields, std::string name);

    Database& db_;
    std::string name_;                        // canonical (lower-case) table name
    std::shared_ptr<const TableShape> shape_; // shared by the database's cursors on the table
    const TableDef& def_;
    const std::string& selectSql_;
    const backend::Dialect& dialect_;
    bool readOnly_ = false;
    State state_ = State::Browse;
    std::string insertSql_;       // for the field set of insertWhich_
    std::string insertWithIdSql_; // the same with the row id given
    std::vector<std::size_t> insertWhich_;

    std::string indexName_;
    std::vector<std::string> keyFields_;
    std::vector<int> keyFieldIdx_;
    std::vector<std::string> orderCols_; // quoted, rowid last unless the key is unique
    std::vector<FieldType> orderTypes_;
    std::vector<Value> rangeLow_, rangeHigh_;
    bool forceEmpty_ = false; // linked to a master without a row
    std::function<bool(const Cursor&)> filter_;

    std::vector<Value> row_;      // current row, or the row being edited/inserted
    std::vector<Value> original_; // row as read, while editing
    std::vector<bool> changed_;
    std::vector<Value> posKey_; // order values of the current row (rowid last)
    std::int64_t rowId_ = 0;
    bool hasRow_ = false;
    bool eof_ = true, bof_ = true;
    bool locked_ = false;
    // When the live read was started and when the current row was read; an
    // edit of a row still as stored (Database::stillCurrent) reads it again
    // for nothing.
    Database::ReadMark stmtMark_, rowMark_;

    // What insert() replaced, for cancel().
    struct Saved {
        std::vector<Value> row, posKey;
        std::int64_t rowId = 0;
        bool hasRow = false;
    } beforeInsert_;

    std::unique_ptr<backend::Statement> stmt_; // live read statement, taken from the database's pool
    std::string stmtText_;
    bool stmtForward_ = true;
    int pageRead_ = 0; // rows the live read has returned (keyset pages)
    int pageRows_ = 0; // rows its page asks for

    Cursor* master_ = nullptr;
    std::vector<std::string> masterFields_;
    int masterListenerId_ = -1;
    std::vector<Cursor*> details_;
    std::map<int, std::function<void()>> listeners_;
    int nextListenerId_ = 1;
};

// A read-only result of an SQL statement with bound parameters. Columns that
// are fields of a table come back with the field's type (a money field as
// Money); computed columns come back as SQLite gives them. money() reads a
// field column by its field type, and a computed number, integer or real, as
// ten-thousandths (the stored form of money), so that SUM(Car_amount) and
// TOTAL(Car_amount) read alike.
class Query {
public:
    Query(Database& db, const std::string& sql, const std::vector<Value>& params = {});
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool next(); // false at the end
    int columnCount() const;
    std::string columnName(int i) const;
    int columnIndex(std::string_view name) const; // throws kFieldNotFound
    Value value(int i) const;
    Value value(std::string_view name) const { return value(columnIndex(name)); }
    Money money(int i) const;
    Money money(std::string_view name) const { return money(columnIndex(name)); }
    // Shortcuts for the hot loops of reports: a column read straight as
    // text or as a date, without going through a Value.
    std::string text(int i) const;
    Date date(int i) const;
    // Stops reading (releases SQLite's read snapshot).
    void close();

private:
    void describe();

    Database& db_;
    std::unique_ptr<backend::Statement> stmt_;
    std::vector<FieldType> types_;
    std::vector<bool> typed_;
    bool done_ = false;
    bool described_ = false;
};

} // namespace vm
