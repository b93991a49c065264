#include "components/common/PickerModel.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

#include <variant>

namespace vm::components {

namespace {

// Field and table names come from the picker declarations, never from the
// user; they are still checked so that a bad declaration cannot become SQL.
std::string ident(const std::string& name) {
    if (name.empty()) throw EngineError(errc::kFieldNotFound, "empty name in a picker declaration");
    for (char c : name) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) throw EngineError(errc::kFieldNotFound, "bad name in a picker declaration: " + name);
    }
    return '"' + name + '"';
}

bool isNumber(const Value& v) {
    const auto& s = v.storage();
    return std::holds_alternative<std::int64_t>(s) || std::holds_alternative<double>(s) ||
           std::holds_alternative<Money>(s);
}

} // namespace

PickerModel::PickerModel(Database& db, PickerDefinition definition, int pageSize, QObject* parent)
    : QAbstractTableModel(parent), db_(db), definition_(std::move(definition)),
      pageSize_(pageSize > 0 ? pageSize : 100) {
    titles_.resize(definition_.columns.size());
    setFallbackTitles(1);
}

void PickerModel::setFallbackTitles(int language) {
    for (std::size_t i = 0; i < definition_.columns.size(); ++i)
        titles_[i] = language == 1 ? definition_.columns[i].english : definition_.columns[i].french;
    if (!titles_.empty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(titles_.size()) - 1);
}

std::string PickerModel::likePattern(std::string_view text, bool anywhere) {
    std::string out;
    out.reserve(text.size() + 4);
    if (anywhere) out += '%';
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += c;
    }
    out += '%';
    return out;
}

std::string PickerModel::selectSql(bool afterKey, bool withOffset) const {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < definition_.columns.size(); ++i) {
        if (i) sql += ", ";
        sql += ident(definition_.columns[i].field);
    }
    const std::string key = ident(definition_.keyField);
    sql += " FROM " + ident(definition_.table);

    std::vector<std::string> conditions;
    if (!search_.isEmpty())
        conditions.push_back("(CAST(" + key + " AS TEXT) LIKE ? ESCAPE '\\' OR " +
                             ident(definition_.nameField) + " LIKE ? ESCAPE '\\')");
    if (afterKey) conditions.push_back(key + " > ?");
    for (std::size_t i = 0; i < conditions.size(); ++i)
        sql += (i ? " AND " : " WHERE ") + conditions[i];

    sql += " ORDER BY " + key;
    sql += " LIMIT ?";
    if (withOffset) sql += " OFFSET ?";
    return sql;
}

void PickerModel::setSearch(const QString& text) {
    beginResetModel();
    search_ = text;
    rows_.clear();
    more_ = true;
    try {
        rows_ = readPage();
    } catch (...) {
        more_ = false;
        endResetModel();
        throw;
    }
    endResetModel();
}

// Reads the next page, one row more than shown to learn whether more follow.
// A unique key continues after the last key read, so a long scroll never
// re-reads what it has passed; a key that may repeat pages by offset.
std::vector<std::vector<Value>> PickerModel::readPage() {
    const bool afterKey = definition_.uniqueKey && !rows_.empty();
    const bool withOffset = !definition_.uniqueKey && !rows_.empty();
    std::vector<Value> params;
    if (!search_.isEmpty()) {
        const std::string text = search_.toStdString();
        params.emplace_back(likePattern(text, false));
        params.emplace_back(likePattern(text, true));
    }
    if (afterKey) params.push_back(rows_.back().front());
    params.emplace_back(std::int64_t{pageSize_} + 1);
    if (withOffset) params.emplace_back(static_cast<std::int64_t>(rows_.size()));

    Query q(db_, selectSql(afterKey, withOffset), params);
    std::vector<std::vector<Value>> page;
    const int cols = static_cast<int>(definition_.columns.size());
    while (static_cast<int>(page.size()) <= pageSize_ && q.next()) {
        std::vector<Value> row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c)
            row.push_back(q.value(c));
        page.push_back(std::move(row));
    }
    q.close();
    more_ = static_cast<int>(page.size()) > pageSize_;
    if (more_) page.pop_back();
    return page;
}

const Value& PickerModel::keyAt(int row) const {
    return rows_.at(static_cast<std::size_t>(row)).front();
}

int PickerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PickerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(definition_.columns.size());
}

QVariant PickerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Value& v = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(v.asString());
    case Qt::TextAlignmentRole:
        return isNumber(v) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                           : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant PickerModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(titles_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return titles_[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole) {
        // Titles of number columns stand over the numbers, on the right.
        const bool number = !rows_.empty() && isNumber(rows_.front()[static_cast<std::size_t>(section)]);
        return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                      : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool PickerModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= static_cast<int>(titles_.size()))
        return false;
    titles_[static_cast<std::size_t>(section)] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool PickerModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && more_;
}

void PickerModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !more_) return;
    std::vector<std::vector<Value>> page;
    try {
        page = readPage();
    } catch (const std::exception&) {
        // A failed page read (the table went away under us) ends the list
        // rather than the dialog; what was shown stays valid.
        more_ = false;
        return;
    }
    if (page.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    for (auto& r : page)
        rows_.push_back(std::move(r));
    endInsertRows();
}

} // namespace vm::components
