#include "common/forms/CursorTableModel.h"

#include "common/forms/GridCell.h"
#include "engine/Cursor.h"

namespace vm::forms {

CursorTableModel::CursorTableModel(Cursor& cursor, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), cursor_(cursor), columns_(std::move(columns)) {
    for (const auto& c : columns_)
        fieldIndex_.push_back(cursor_.fieldIndex(c.field)); // throws for a bad name
}

int CursorTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CursorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CursorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const auto col = static_cast<std::size_t>(index.column());
    const FieldType type = cursor_.def().fields[static_cast<std::size_t>(fieldIndex_[col])].type;
    const Value& v = rows_[static_cast<std::size_t>(index.row())][col];
    if (role == Qt::DisplayRole) return gridDisplay(v, type);
    if (role == Qt::TextAlignmentRole) return gridAlignment(type);
    return {};
}

QVariant CursorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return columns_[static_cast<std::size_t>(section)].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CursorTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                     int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return false;
    columns_[static_cast<std::size_t>(section)].title = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool CursorTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void CursorTableModel::fetchMore(const QModelIndex& parent) {
    // A row being edited or inserted must not be moved away from.
    if (parent.isValid() || atEnd_ || cursor_.state() != Cursor::State::Browse) return;
    const std::int64_t home = cursor_.hasRow() ? cursor_.rowId() : 0;

    bool on;
    if (rowIds_.empty())
        on = cursor_.first();
    else if (cursor_.rowId() == rowIds_.back() && cursor_.hasRow())
        on = cursor_.next();
    else
        on = cursor_.gotoRowId(rowIds_.back()) && cursor_.next();

    std::vector<std::int64_t> ids;
    std::vector<std::vector<Value>> batch;
    while (on && static_cast<int>(ids.size()) < batch_) {
        ids.push_back(cursor_.rowId());
        std::vector<Value> row;
        row.reserve(fieldIndex_.size());
        for (int f : fieldIndex_)
            row.push_back(cursor_.value(f));
        batch.push_back(std::move(row));
        if (static_cast<int>(ids.size()) < batch_) on = cursor_.next();
    }
    if (!on) atEnd_ = true;
    if (restore_ && home != 0 && cursor_.rowId() != home) cursor_.gotoRowId(home);

    if (ids.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(ids.size()) - 1);
    rowIds_.insert(rowIds_.end(), ids.begin(), ids.end());
    for (auto& r : batch)
        rows_.push_back(std::move(r));
    endInsertRows();
}

void CursorTableModel::reload() {
    beginResetModel();
    rowIds_.clear();
    rows_.clear();
    atEnd_ = false;
    endResetModel();
}

std::int64_t CursorTableModel::rowIdAt(int row) const {
    return row >= 0 && row < rowCount() ? rowIds_[static_cast<std::size_t>(row)] : 0;
}

int CursorTableModel::rowOf(std::int64_t rowId) const {
    for (std::size_t i = 0; i < rowIds_.size(); ++i)
        if (rowIds_[i] == rowId) return static_cast<int>(i);
    return -1;
}

bool CursorTableModel::moveCursorTo(int row) {
    const std::int64_t id = rowIdAt(row);
    return id != 0 && cursor_.gotoRowId(id);
}

} // namespace vm::forms
