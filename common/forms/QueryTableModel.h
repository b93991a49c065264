#pragma once
#include "common/forms/GridColumn.h"
#include "engine/TableDef.h" // before Value.h: FieldType::Bytes would shadow vm::Bytes
#include "engine/Value.h"

#include <QAbstractTableModel>

#include <functional>
#include <memory>
#include <vector>

namespace vm {
class Query;
} // namespace vm

namespace vm::forms {

// A grid model over the result of an SQL query, read a batch at a time as the
// view scrolls. The query is made by a factory so that reload() can run it
// again (after the tables changed). Columns name result columns; with no
// columns given, every result column is shown under its own name.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<Query>()>;

    QueryTableModel(Factory makeQuery, std::vector<GridColumn> columns = {}, QObject* parent = nullptr);
    ~QueryTableModel() override;

    void setBatchSize(int rows) { batch_ = rows > 0 ? rows : 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    void reload();
    // The value of a cell as the query gave it.
    const Value& valueAt(int row, int column) const;

private:
    void open();

    Factory makeQuery_;
    std::unique_ptr<Query> query_;
    std::vector<GridColumn> columns_;
    std::vector<int> queryColumn_;
    std::vector<std::vector<Value>> rows_;
    int batch_ = 100;
};

} // namespace vm::forms
