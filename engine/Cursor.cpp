#include "engine/Cursor.h"

#include "engine/Database.h"
#include "engine/DatabaseImpl.h"
#include "engine/SqlUtil.h"

#include <algorithm>

namespace vm {

using sql::Param;

namespace {
void bindParams(backend::Statement& st, const std::vector<Param>& params, int first = 1) {
    for (std::size_t i = 0; i < params.size(); ++i)
        st.bind(first + static_cast<int>(i), params[i].type, params[i].value);
}
} // namespace

Cursor::Cursor(Database& db, std::string_view tableName, bool readOnly)
    : db_(db), name_(Database::canonicalName(tableName)), shape_(db.tableShape(tableName)), def_(shape_->def),
      selectSql_(shape_->selectSql), dialect_(*db.impl().dialect), readOnly_(readOnly) {
    row_.assign(def_.fields.size(), Value());
    changed_.assign(def_.fields.size(), false);
    applyOrder(def_.primaryKey, "");
    db_.registerCursor(this);
}

Cursor::~Cursor() {
    finalizeStmt();
    if (locked_) db_.impl().be->locks().unlock(name_, rowId_);
    unlink();
    for (Cursor* d : details_) {
        d->master_ = nullptr;
        d->masterListenerId_ = -1;
    }
    db_.unregisterCursor(this);
}

int Cursor::fieldIndex(std::string_view fieldName) const {
    int i = def_.fieldIndex(fieldName);
    if (i < 0)
        throw EngineError(errc::kFieldNotFound,
                          "Field '" + std::string(fieldName) + "' not found in " + def_.name);
    return i;
}

// ---------------------------------------------------------------- order

void Cursor::applyOrder(std::vector<std::string> fields, std::string name) {
    keyFieldIdx_.clear();
    orderCols_.clear();
    orderTypes_.clear();
    bool neverBlank = true;
    for (auto& f : fields) {
        int i = fieldIndex(f);
        const FieldDef& fd = def_.fields[static_cast<std::size_t>(i)];
        f = fd.name;
        keyFieldIdx_.push_back(i);
        orderCols_.push_back(db_.impl().be->column(fd));
        orderTypes_.push_back(fd.type);
        neverBlank = neverBlank && (fd.type == FieldType::Text || fd.type == FieldType::Memo ||
                                    fd.type == FieldType::AutoInc);
    }
    // The row id ends the order, so that rows of equal keys keep one order.
    // A unique key whose fields are never blank (NULL) has no equal keys: its
    // order is the unique index's alone, which a server reads from the index.
    const IndexDef* ix = name.empty() ? nullptr : def_.index(name);
    const bool unique = !fields.empty() && (name.empty() || (ix && ix->unique));
    if (!(unique && neverBlank)) {
        orderCols_.push_back(shape_->rowId);
        orderTypes_.push_back(FieldType::AutoInc);
    }
    keyFields_ = std::move(fields);
    indexName_ = std::move(name);
    rangeLow_.clear();
    rangeHigh_.clear();
    finalizeStmt();
    if (hasRow_) posKey_ = positionOf();
}

void Cursor::setIndex(std::string_view indexName) {
    checkBrowse();
    if (indexName.empty()) {
        applyOrder(def_.primaryKey, "");
        return;
    }
    const IndexDef* ix = def_.index(indexName);
    if (!ix)
        throw EngineError(errc::kIndexNotFound,
                          "Index '" + std::string(indexName) + "' not found on " + def_.name);
    applyOrder(ix->fields, ix->name);
}

void Cursor::setIndexFields(std::string_view list) {
    checkBrowse();
    std::vector<std::string> want;
    std::string cur;
    for (char c : list) {
        if (c == ';') {
            if (!cur.empty()) want.push_back(cur);
            cur.clear();
        } else if (c != ' ') {
            cur += c;
        }
    }
    if (!cur.empty()) want.push_back(cur);
    auto startsWith = [&](const std::vector<std::string>& fs) {
        if (fs.size() < want.size()) return false;
        for (std::size_t i = 0; i < want.size(); ++i)
            if (!sql::iequal(fs[i], want[i])) return false;
        return true;
    };
    if (!want.empty() && startsWith(def_.primaryKey)) {
        applyOrder(def_.primaryKey, "");
        return;
    }
    for (const auto& ix : def_.indexes)
        if (!want.empty() && startsWith(ix.fields)) {
            applyOrder(ix.fields, ix.name);
            return;
        }
    throw EngineError(errc::kIndexNotFound, "No index on " + std::string(list) + " in " + def_.name);
}

// ---------------------------------------------------------------- reading

std::vector<Value> Cursor::positionOf() const {
    std::vector<Value> p;
    p.reserve(keyFieldIdx_.size() + 1);
    for (int i : keyFieldIdx_)
        p.push_back(row_[static_cast<std::size_t>(i)]);
    p.emplace_back(rowId_);
    return p;
}

std::vector<Value> Cursor::coerceKey(const std::vector<Value>& vals) const {
    if (vals.size() > keyFieldIdx_.size())
        throw EngineError(errc::kBadValue, "Too many key values for " + def_.name);
    std::vector<Value> out;
    for (std::size_t i = 0; i < vals.size(); ++i)
        out.push_back(sql::coerce(def_.fields[static_cast<std::size_t>(keyFieldIdx_[i])], vals[i]));
    return out;
}

void Cursor::loadRowFrom(const backend::Statement& st) {
    rowId_ = st.loadRow(def_.fields, row_);
    posKey_ = positionOf();
    hasRow_ = true;
    rowMark_ = stmtMark_;
}

std::string Cursor::baseCondition(std::vector<Param>& params) const {
    if (forceEmpty_) return dialect_.never;
    std::string cond;
    if (!rangeLow_.empty() && rangeLow_ == rangeHigh_) {
        for (std::size_t i = 0; i < rangeLow_.size(); ++i) {
            const auto t = orderTypes_[i];
            bool blank = rangeLow_[i].isNull() && t != FieldType::Text && t != FieldType::Memo;
            cond += (i ? " AND " : "") + orderCols_[i] + (blank ? " IS NULL" : " = ?");
            if (!blank) params.push_back({t, rangeLow_[i]});
        }
        return cond;
    }
    if (!rangeLow_.empty())
        cond = sql::lexCompare(dialect_, orderCols_, orderTypes_, rangeLow_, ">=", params);
    if (!rangeHigh_.empty())
        cond += (cond.empty() ? "" : " AND ") +
                sql::lexCompare(dialect_, orderCols_, orderTypes_, rangeHigh_, "<=", params);
    return cond.empty() ? dialect_.always : cond;
}

void Cursor::finalizeStmt() {
    if (stmt_) db_.impl().giveBack(std::move(stmtText_), std::move(stmt_));
}

void Cursor::suspend() {
    finalizeStmt();
}

void Cursor::freshSnapshot() {
    // Any live read on the connection holds its snapshot for every statement
    // of the connection: end them all, so that this read sees what other
    // sessions have committed. Inside a write transaction the snapshot is
    // current already.
    if (!db_.writing()) db_.suspendReaders();
}

bool Cursor::openAndStep(bool forward, const std::vector<Value>* from, bool inclusive) {
    finalizeStmt();
    freshSnapshot();
    openRead(forward, from, inclusive);
    return stepLive();
}

void Cursor::openRead(bool forward, const std::vector<Value>* from, bool inclusive, int pageRows) {
    std::vector<Param> params;
    std::string where = baseCondition(params);
    if (from) {
        const char* op = forward ? (inclusive ? ">=" : ">") : (inclusive ? "<=" : "<");
        where += " AND " + sql::lexCompare(dialect_, orderCols_, orderTypes_, *from, op, params);
    }
    std::string text = selectSql_ + " WHERE " + where + orderBy(forward);
    pageRows_ = pageRows > 0 ? pageRows : dialect_.pageRows;
    if (pageRows_ > 0) text += " LIMIT " + std::to_string(pageRows_);
    stmtMark_ = db_.readMark(); // before the read: a write meanwhile makes its rows old
    stmt_ = db_.impl().take(text);
    stmtText_ = std::move(text);
    bindParams(*stmt_, params);
    stmtForward_ = forward;
    pageRead_ = 0;
}

// Key fields sort blanks first, as their indexes keep them. The row id that
// ends an order is never blank and orders plainly, as the table's key and
// the indexes keep it: a server then reads each page from an index instead
// of sorting the rest of the table for it.
std::string Cursor::orderBy(bool forward) const {
    std::string text = " ORDER BY ";
    for (std::size_t i = 0; i < orderCols_.size(); ++i) {
        const bool rowId = i == keyFieldIdx_.size();
        const char* dir =
            forward ? (rowId ? "" : dialect_.ascending) : (rowId ? " DESC" : dialect_.descending);
        text += (i ? ", " : "") + orderCols_[i] + dir;
    }
    return text;
}

bool Cursor::stepLive() {
    Saved saved;
    bool tried = false;
    for (;;) {
        bool row = false;
        try {
            row = stmt_->step();
        } catch (...) {
            finalizeStmt();
            throw;
        }
        if (row) {
            if (filter_ && !tried) {
                saved = {row_, posKey_, rowId_, hasRow_};
                tried = true;
            }
            loadRowFrom(*stmt_);
            ++pageRead_;
            if (!filter_ || filter_(*this)) return true;
            continue;
        }
        // A full keyset page: the order goes on after the last row read,
        // in pages twice as long up to a bound: a walk takes a few round
        // trips, a look at a few rows still reads one short page.
        if (pageRows_ > 0 && pageRead_ == pageRows_) {
            const auto after = positionOf();
            finalizeStmt();
            openRead(stmtForward_, &after, false, std::min(2 * pageRows_, dialect_.maxPageRows));
            continue;
        }
        finalizeStmt();
        if (tried) {
            row_ = std::move(saved.row);
            posKey_ = std::move(saved.posKey);
            rowId_ = saved.rowId;
            hasRow_ = saved.hasRow;
            rowMark_ = {};
        }
        return false;
    }
}

void Cursor::setNoRow() {
    finalizeStmt();
    hasRow_ = false;
    rowMark_ = {};
    rowId_ = 0;
    std::fill(row_.begin(), row_.end(), Value());
    for (std::size_t i = 0; i < row_.size(); ++i)
        if (def_.fields[i].type == FieldType::Text || def_.fields[i].type == FieldType::Memo)
            row_[i] = Value(std::string());
    posKey_.clear();
    eof_ = bof_ = true;
}

void Cursor::checkBrowse() const {
    if (state_ != State::Browse)
        throw EngineError(errc::kNotInEditMode,
                          "Record of " + def_.name + " is being edited; post or cancel it first");
}

bool Cursor::first() {
    checkBrowse();
    if (openAndStep(true, nullptr, false)) {
        bof_ = true;
        eof_ = false;
    } else {
        setNoRow();
    }
    notifyMoved();
    return hasRow_;
}

bool Cursor::last() {
    checkBrowse();
    if (openAndStep(false, nullptr, false)) {
        eof_ = true;
        bof_ = false;
    } else {
        setNoRow();
    }
    notifyMoved();
    return hasRow_;
}

bool Cursor::next() {
    checkBrowse();
    if (!hasRow_) return first();
    bool ok = (stmt_ && stmtForward_) ? stepLive() : openAndStep(true, &posKey_, false);
    if (!ok) {
        eof_ = true;
        return false;
    }
    eof_ = bof_ = false;
    notifyMoved();
    return true;
}

bool Cursor::prior() {
    checkBrowse();
    if (!hasRow_) return last();
    bool ok = (stmt_ && !stmtForward_) ? stepLive() : openAndStep(false, &posKey_, false);
    if (!ok) {
        bof_ = true;
        return false;
    }
    eof_ = bof_ = false;
    notifyMoved();
    return true;
}

bool Cursor::isEmpty() {
    if (filter_) return recordCount() == 0;
    std::vector<Param> params;
    std::string text =
        "SELECT 1 FROM " + sql::quoteIdent(name_) + " WHERE " + baseCondition(params) + " LIMIT 1";
    freshSnapshot();
    PooledStmt st(db_.impl(), std::move(text));
    bindParams(st.get(), params);
    return !st.step();
}

bool Cursor::findKey(const std::vector<Value>& key) {
    checkBrowse();
    std::vector<Value> k;
    try {
        k = coerceKey(key);
    } catch (const EngineError& e) {
        if (e.code() == errc::kBadValue) return false;
        throw;
    }
    if (k.empty()) return false;
    std::vector<Param> params;
    std::string where = baseCondition(params);
    for (std::size_t i = 0; i < k.size(); ++i) {
        const auto t = orderTypes_[i];
        bool blank = k[i].isNull() && t != FieldType::Text && t != FieldType::Memo;
        where += " AND " + orderCols_[i] + (blank ? " IS NULL" : " = ?");
        if (!blank) params.push_back({t, k[i]});
    }
    std::string text = selectSql_ + " WHERE " + where + orderBy(true);
    if (dialect_.pageRows > 0) text += " LIMIT 1";
    finalizeStmt();
    freshSnapshot();
    stmtMark_ = db_.readMark();
    stmt_ = db_.impl().take(text);
    stmtText_ = std::move(text);
    bindParams(*stmt_, params);
    stmtForward_ = true;
    pageRead_ = -1; // no page to go on from
    bool found = stepLive();
    // The statement is bound to the key; further moves re-seek from the row.
    finalizeStmt();
    if (found) {
        eof_ = bof_ = false;
        notifyMoved();
    }
    return found;
}

bool Cursor::findNearest(const std::vector<Value>& partialKey) {
    checkBrowse();
    std::vector<Value> k;
    try {
        k = coerceKey(partialKey);
    } catch (const EngineError& e) {
        if (e.code() != errc::kBadValue) throw;
        return first();
    }
    if (k.empty()) return first();
    if (openAndStep(true, &k, true)) {
        eof_ = bof_ = false;
        notifyMoved();
        return true;
    }
    if (!last()) return false;
    eof_ = true;
    return false;
}

std::string Cursor::rowSql() const {
    return selectSql_ + " WHERE " + shape_->rowId + " = ?";
}

bool Cursor::readRowId(std::int64_t id) {
    freshSnapshot(); // an edit must start from the stored row, not an old view of it
    const auto mark = db_.readMark();
    CachedStmt st(db_.impl(), rowSql());
    st->bind(1, FieldType::AutoInc, Value(id));
    if (!st.step()) return false;
    loadRowFrom(st.get());
    rowMark_ = mark;
    return true;
}

bool Cursor::gotoRowId(std::int64_t id) {
    checkBrowse();
    finalizeStmt();
    if (!readRowId(id)) return false;
    eof_ = bof_ = false;
    notifyMoved();
    return true;
}

// ---------------------------------------------------------------- ranges

bool Cursor::setRange(const std::vector<Value>& low, const std::vector<Value>& high) {
    checkBrowse();
    rangeLow_ = coerceKey(low);
    rangeHigh_ = coerceKey(high);
    forceEmpty_ = false;
    return first();
}

void Cursor::cancelRange() {
    checkBrowse();
    rangeLow_.clear();
    rangeHigh_.clear();
    forceEmpty_ = false;
    finalizeStmt();
    if (!hasRow_) first();
}

void Cursor::setFilter(std::function<bool(const Cursor&)> accept) {
    checkBrowse();
    filter_ = std::move(accept);
    first();
}

void Cursor::clearFilter() {
    checkBrowse();
    filter_ = nullptr;
    finalizeStmt();
}

std::int64_t Cursor::recordCount() {
    if (!filter_) {
        std::vector<Param> params;
        std::string text =
            "SELECT COUNT(*) FROM " + sql::quoteIdent(name_) + " WHERE " + baseCondition(params);
        freshSnapshot();
        PooledStmt st(db_.impl(), std::move(text));
        bindParams(st.get(), params);
        st.step();
        return st->columnInt(0);
    }
    // A filter is C++ code: count by walking, then come back.
    checkBrowse();
    const bool had = hasRow_;
    const auto keepRow = rowId_;
    auto keepListeners = std::move(listeners_);
    listeners_.clear();
    std::int64_t n = 0;
    for (bool ok = openAndStep(true, nullptr, false); ok; ok = stepLive())
        ++n;
    listeners_ = std::move(keepListeners);
    if (!had || !readRowId(keepRow)) {
        if (!openAndStep(true, nullptr, false)) setNoRow();
    }
    finalizeStmt();
    return n;
}

void Cursor::refresh() {
    if (state_ != State::Browse) return;
    if (!hasRow_) {
        first();
        return;
    }
    auto pos = posKey_;
    if (!openAndStep(true, &pos, true)) {
        if (!openAndStep(false, nullptr, false)) setNoRow();
    }
    finalizeStmt();
    notifyMoved();
}

// ---------------------------------------------------------------- master-detail

void Cursor::linkTo(Cursor& master, std::vector<std::string> masterFields) {
    unlink();
    for (const auto& f : masterFields)
        master.fieldIndex(f); // validates
    if (masterFields.size() > keyFields_.size())
        throw EngineError(errc::kIndexNotFound,
                          "The order of " + def_.name + " has fewer fields than the link");
    master_ = &master;
    masterFields_ = std::move(masterFields);
    masterListenerId_ = master.addMoveListener([this] { onMasterMoved(); });
    master.details_.push_back(this);
    onMasterMoved();
}

void Cursor::unlink() {
    if (!master_) return;
    master_->removeMoveListener(masterListenerId_);
    auto& d = master_->details_;
    d.erase(std::remove(d.begin(), d.end(), this), d.end());
    master_ = nullptr;
    masterListenerId_ = -1;
}

void Cursor::onMasterMoved() {
    if (state_ != State::Browse) cancel();
    if (master_->hasRow_ && master_->state_ != State::Insert) {
        std::vector<Value> vals;
        for (const auto& f : masterFields_)
            vals.push_back(master_->value(f));
        rangeLow_ = coerceKey(vals);
        rangeHigh_ = rangeLow_;
        forceEmpty_ = false;
    } else {
        forceEmpty_ = true;
    }
    first();
}

int Cursor::addMoveListener(std::function<void()> listener) {
    int id = nextListenerId_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void Cursor::removeMoveListener(int id) {
    listeners_.erase(id);
}

void Cursor::notifyMoved() {
    if (listeners_.empty()) return;
    auto copy = listeners_;
    for (auto& [id, fn] : copy)
        if (listeners_.count(id)) fn();
}

// ---------------------------------------------------------------- values

Value Cursor::value(int field) const {
    if (field < 0 || field >= fieldCount())
        throw EngineError(errc::kFieldNotFound,
                          "Field number " + std::to_string(field) + " not in " + def_.name);
    return row_[static_cast<std::size_t>(field)];
}

void Cursor::set(int field, const Value& v) {
    if (readOnly_) throw EngineError(errc::kReadOnly, "Table " + def_.name + " is open read-only");
    if (state_ == State::Browse)
        throw EngineError(errc::kNotInEditMode, "Table " + def_.name + " is not in edit or insert mode");
    if (field < 0 || field >= fieldCount())
        throw EngineError(errc::kFieldNotFound,
                          "Field number " + std::to_string(field) + " not in " + def_.name);
    const auto i = static_cast<std::size_t>(field);
    row_[i] = sql::coerce(def_.fields[i], v);
    changed_[i] = true;
}

bool Cursor::modified() const {
    return std::find(changed_.begin(), changed_.end(), true) != changed_.end();
}

// ---------------------------------------------------------------- editing

void Cursor::insert() {
    if (readOnly_) throw EngineError(errc::kReadOnly, "Table " + def_.name + " is open read-only");
    checkBrowse();
    beforeInsert_ = {row_, posKey_, rowId_, hasRow_};
    rowMark_ = {};
    for (std::size_t i = 0; i < row_.size(); ++i) {
        auto t = def_.fields[i].type;
        row_[i] = (t == FieldType::Text || t == FieldType::Memo) ? Value(std::string()) : Value();
    }
    std::fill(changed_.begin(), changed_.end(), false);
    state_ = State::Insert;
}

void Cursor::edit() {
    if (readOnly_) throw EngineError(errc::kReadOnly, "Table " + def_.name + " is open read-only");
    if (state_ == State::Edit) return;
    checkBrowse();
    if (!hasRow_) throw EngineError(errc::kNoCurrentRecord, "No current record in " + def_.name);
    auto& locks = db_.impl().be->locks();
    const bool lock = !def_.work; // a work table is its session's alone
    const auto id = rowId_;
    const bool current = db_.stillCurrent(rowMark_, def_.work);
    // With nothing of this session's uncommitted, the row is read where the
    // lock is taken, when the backend can do both in one go.
    const auto mark = db_.readMark();
    std::unique_ptr<backend::Statement> read;
    // Without the write lock, a write in progress elsewhere is waited out
    // once the row is locked: it may have changed the row and let its lock
    // go before its commit. No live read of this connection may keep an
    // older snapshot meanwhile.
    const bool afterWriter = lock && !db_.holdsWriteLock();
    if (afterWriter) freshSnapshot();
    if (lock)
        read = locks.lockAndRead(name_, id, current || db_.writing() ? std::string() : rowSql(), afterWriter);
    bool present = true;
    try {
        if (read) {
            present = read->step();
            if (present) {
                loadRowFrom(*read);
                rowMark_ = mark;
            }
        } else if (!current) {
            present = readRowId(id);
        }
    } catch (...) {
        if (lock) locks.unlock(name_, id);
        throw;
    }
    if (!present) {
        if (lock) locks.unlock(name_, id);
        throw EngineError(errc::kRecordNotFound, "Record of " + def_.name + " was deleted by another user");
    }
    locked_ = lock;
    original_ = row_;
    std::fill(changed_.begin(), changed_.end(), false);
    state_ = State::Edit;
}

void Cursor::post() {
    if (state_ == State::Browse) return;
    for (std::size_t i = 0; i < def_.fields.size(); ++i) {
        const auto& f = def_.fields[i];
        if (!f.required || f.type == FieldType::AutoInc) continue;
        bool blank = row_[i].isNull() ||
                     ((f.type == FieldType::Text || f.type == FieldType::Memo) && row_[i].asString().empty());
        if (blank)
            throw EngineError(errc::kRequiredField, "Field value required: " + f.name + " in " + def_.name);
    }
    auto& impl = db_.impl();
    std::int64_t id = rowId_;
    rowMark_ = {}; // the row is read again before its next edit
    if (state_ == State::Insert) {
        std::vector<std::size_t> which;
        which.reserve(def_.fields.size());
        int autoinc = -1;
        for (std::size_t i = 0; i < def_.fields.size(); ++i) {
            if (def_.fields[i].type == FieldType::AutoInc) {
                autoinc = static_cast<int>(i);
                if (row_[i].isNull()) continue;
            }
            which.push_back(i);
        }
        if (which != insertWhich_) {
            std::string cols, marks;
            for (std::size_t k = 0; k < which.size(); ++k) {
                cols += (k ? ", " : "") + impl.be->column(def_.fields[which[k]]);
                marks += k ? ", ?" : "?";
            }
            insertSql_ = "INSERT INTO " + sql::quoteIdent(name_) + " (" + cols + ") VALUES (" + marks + ")" +
                         impl.be->insertSuffix(def_);
            insertWhich_ = which;
            insertWithIdSql_.clear();
        }
        db_.beginWrite(def_.work);
        // A row id taken ahead lets a batch send the insert without waiting.
        const bool given = autoinc >= 0 && !row_[static_cast<std::size_t>(autoinc)].isNull();
        const std::int64_t reserved = given ? 0 : impl.be->reserveRowId(name_);
        if (reserved) {
            if (insertWithIdSql_.empty()) {
                std::string cols = shape_->rowId, marks = "?";
                for (std::size_t k : which) {
                    cols += ", " + impl.be->column(def_.fields[k]);
                    marks += ", ?";
                }
                insertWithIdSql_ =
                    "INSERT INTO " + sql::quoteIdent(name_) + " (" + cols + ") VALUES (" + marks + ")";
            }
            CachedStmt st(impl, insertWithIdSql_);
            st->bind(1, FieldType::AutoInc, Value(reserved));
            for (std::size_t k = 0; k < which.size(); ++k)
                st->bind(static_cast<int>(k + 2), def_.fields[which[k]].type, row_[which[k]]);
            st->runLater();
            rowId_ = reserved;
        } else {
            CachedStmt st(impl, insertSql_);
            for (std::size_t k = 0; k < which.size(); ++k)
                st->bind(static_cast<int>(k + 1), def_.fields[which[k]].type, row_[which[k]]);
            st.step();
            // The buffer already holds the stored values; only the row id is new.
            rowId_ = impl.db->insertedRowId(st.get());
        }
        if (given) impl.be->explicitRowId(name_, def_, rowId_);
        if (def_.work && db_.inTransaction()) ++impl.inserted[name_];
        if (autoinc >= 0) row_[static_cast<std::size_t>(autoinc)] = Value(rowId_);
        posKey_ = positionOf();
        hasRow_ = true;
        state_ = State::Browse;
        std::fill(changed_.begin(), changed_.end(), false);
        finalizeStmt();
        eof_ = bof_ = false;
        notifyMoved();
        return;
    } else {
        std::string sets;
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < def_.fields.size(); ++i)
            if (changed_[i]) {
                sets += (which.empty() ? "" : ", ") + impl.be->column(def_.fields[i]) + " = ?";
                which.push_back(i);
            }
        if (!which.empty()) {
            db_.beginWrite(def_.work);
            CachedStmt st(impl, "UPDATE " + sql::quoteIdent(name_) + " SET " + sets + " WHERE " +
                                    shape_->rowId + " = ?");
            for (std::size_t k = 0; k < which.size(); ++k)
                st->bind(static_cast<int>(k + 1), def_.fields[which[k]].type, row_[which[k]]);
            st->bind(static_cast<int>(which.size() + 1), FieldType::AutoInc, Value(id));
            st->runLater();
        }
        // Outside a transaction the row is committed: its lock can go
        // without a round trip of its own.
        if (locked_) impl.be->locks().unlock(name_, id, !db_.inTransaction());
        locked_ = false;
    }
    // The buffer holds the stored values: the row was re-read under its lock
    // by edit() and the changes written are already in their stored form.
    state_ = State::Browse;
    std::fill(changed_.begin(), changed_.end(), false);
    finalizeStmt();
    posKey_ = positionOf();
    hasRow_ = true;
    eof_ = bof_ = false;
    notifyMoved();
}

void Cursor::cancel() {
    rowMark_ = {};
    if (state_ == State::Edit) {
        row_ = original_;
        if (locked_) db_.impl().be->locks().unlock(name_, rowId_);
        locked_ = false;
    } else if (state_ == State::Insert) {
        row_ = beforeInsert_.row;
        posKey_ = beforeInsert_.posKey;
        rowId_ = beforeInsert_.rowId;
        hasRow_ = beforeInsert_.hasRow;
    } else {
        return;
    }
    std::fill(changed_.begin(), changed_.end(), false);
    state_ = State::Browse;
    notifyMoved();
}

void Cursor::remove() {
    if (readOnly_) throw EngineError(errc::kReadOnly, "Table " + def_.name + " is open read-only");
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (!hasRow_) throw EngineError(errc::kNoCurrentRecord, "No current record in " + def_.name);
    auto& locks = db_.impl().be->locks();
    const auto id = rowId_;
    const bool lock = !def_.work;
    if (lock) locks.lock(name_, id); // 10241 when another session edits the row
    try {
        db_.beginWrite(def_.work);
        CachedStmt st(db_.impl(),
                      "DELETE FROM " + sql::quoteIdent(name_) + " WHERE " + shape_->rowId + " = ?");
        st->bind(1, FieldType::AutoInc, Value(id));
        st.step();
    } catch (...) {
        if (lock) locks.unlock(name_, id);
        throw;
    }
    if (lock) locks.unlock(name_, id);
    if (locked_) {
        locks.unlock(name_, id);
        locked_ = false;
    }
    state_ = State::Browse;
    auto pos = posKey_;
    if (openAndStep(true, &pos, false)) {
        eof_ = bof_ = false;
    } else if (openAndStep(false, &pos, false)) {
        eof_ = true;
        bof_ = false;
    } else {
        setNoRow();
    }
    finalizeStmt();
    notifyMoved();
}

} // namespace vm
