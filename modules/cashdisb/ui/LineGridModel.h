#pragma once
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "modules/cashdisb/core/DisbursementEntry.h"
#endif

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace vm::cashdisb {

// The distribution grid: the disbursement's rows, and below them an empty row
// that becomes a new line when something is typed in it (none once the
// disbursement has 20 rows).
class LineGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Account, Description, Debit, Credit, ColumnCount };

    explicit LineGridModel(QObject* parent = nullptr);

    // The entry shown; the grid is empty without one.
    void setEntry(DisbursementEntry* entry) { entry_ = entry; }

    void setMoneyFormat(std::function<QString(Money)> format) { money_ = std::move(format); }
    void setEditable(bool editable);
    void reload();
    // The line shown in a grid row; 0 for the empty row below the lines.
    std::int64_t rowIdAt(int row) const;
    int lineRows() const { return static_cast<int>(rows_.size()); }
    // Makes the row a line when it is the empty row; nothing when the
    // disbursement is full.
    std::optional<std::int64_t> lineAt(int row);
    // Sets the account of a grid row as the account column does; the
    // refusal, if any, is also signalled.
    CheckResult setAccount(int row, std::optional<std::int32_t> account);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void linesChanged();
    void accountRefused(int row, int message);

private:
    bool applyEdit(const QModelIndex& index, const QVariant& value, int role);
    bool hasEmptyRow() const;

    DisbursementEntry* entry_ = nullptr;
    std::vector<DisbursementEntry::LineRow> rows_;
    QStringList titles_;
    std::function<QString(Money)> money_;
    bool editable_ = false;
};

} // namespace vm::cashdisb
