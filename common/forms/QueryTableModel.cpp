#include "common/forms/QueryTableModel.h"

#include "common/forms/GridCell.h"
#include "engine/Cursor.h"

namespace vm::forms {

QueryTableModel::QueryTableModel(Factory makeQuery, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), makeQuery_(std::move(makeQuery)), columns_(std::move(columns)) {
    open();
}

QueryTableModel::~QueryTableModel() = default;

void QueryTableModel::open() {
    query_ = makeQuery_();
    queryColumn_.clear();
    if (columns_.empty()) {
        for (int i = 0; i < query_->columnCount(); ++i)
            columns_.push_back({query_->columnName(i), QString::fromStdString(query_->columnName(i))});
    }
    for (const auto& c : columns_)
        queryColumn_.push_back(query_->columnIndex(c.field));
}

int QueryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int QueryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

const Value& QueryTableModel::valueAt(int row, int column) const {
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Value& v = valueAt(index.row(), index.column());
    const FieldType type = typeOfValue(v);
    if (role == Qt::DisplayRole) return gridDisplay(v, type);
    if (role == Qt::TextAlignmentRole) return gridAlignment(type);
    return {};
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return columns_[static_cast<std::size_t>(section)].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool QueryTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                    int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return false;
    columns_[static_cast<std::size_t>(section)].title = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool QueryTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && query_;
}

void QueryTableModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !query_) return;
    std::vector<std::vector<Value>> batch;
    while (static_cast<int>(batch.size()) < batch_) {
        if (!query_->next()) {
            // Done: release the read snapshot at once.
            query_->close();
            query_.reset();
            break;
        }
        std::vector<Value> row;
        for (int c : queryColumn_)
            row.push_back(query_->value(c));
        batch.push_back(std::move(row));
    }
    if (batch.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(batch.size()) - 1);
    for (auto& r : batch)
        rows_.push_back(std::move(r));
    endInsertRows();
}

void QueryTableModel::reload() {
    beginResetModel();
    rows_.clear();
    query_.reset();
    open();
    endResetModel();
}

} // namespace vm::forms
