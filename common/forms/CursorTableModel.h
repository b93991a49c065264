#pragma once
#include "common/forms/GridColumn.h"
#include "engine/TableDef.h" // before Value.h: FieldType::Bytes would shadow vm::Bytes
#include "engine/Value.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace vm {
class Cursor;
} // namespace vm

namespace vm::forms {

// A grid model over a cursor, in the cursor's order, range and filter. Rows
// are read lazily, a batch at a time, as the view scrolls (canFetchMore /
// fetchMore), so a grid over a large table costs what it shows.
//
// Reading moves the cursor; by default its position is restored after each
// batch (a grid over the cursor the form edits). A grid that owns its cursor
// can leave it where reading stopped, which keeps the cursor's live read.
// The model does not see changes made through the cursor: call reload()
// after a post, a delete or a change of range.
class CursorTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CursorTableModel(Cursor& cursor, std::vector<GridColumn> columns, QObject* parent = nullptr);

    void setBatchSize(int rows) { batch_ = rows > 0 ? rows : 1; }
    void setRestorePosition(bool restore) { restore_ = restore; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Forgets the rows read; the view reads again from the first row.
    void reload();
    // Row id (Cursor::rowId) of a grid row; 0 for none.
    std::int64_t rowIdAt(int row) const;
    // The grid row of a row id among the rows read so far; -1 when not read.
    int rowOf(std::int64_t rowId) const;
    // Moves the cursor to a grid row (the row the user chose).
    bool moveCursorTo(int row);

private:
    Cursor& cursor_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;
    std::vector<std::int64_t> rowIds_;
    std::vector<std::vector<Value>> rows_;
    bool atEnd_ = false;
    bool restore_ = true;
    int batch_ = 100;
};

} // namespace vm::forms
