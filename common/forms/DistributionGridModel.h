#pragma once
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "common/journal/DistributionLines.h"
#endif

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace vm::forms {

// The distribution grid of the receipt and disbursement windows: the
// entry's rows, and below them an empty row that becomes a new row when
// something is typed in it (none once the distribution is full). Edits go
// to the entry's journal::DistributionLines; a refused account or amount
// changes nothing and is signalled, for the window to say why.
class DistributionGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Account, Description, Debit, Credit, ColumnCount };

    explicit DistributionGridModel(QObject* parent = nullptr);

    // The distribution shown; the grid is empty without one.
    void setLines(journal::DistributionLines* lines) { lines_ = lines; }
    journal::DistributionLines* lines() const { return lines_; }

    void setMoneyFormat(std::function<QString(Money)> format) { money_ = std::move(format); }
    void setEditable(bool editable);
    void reload();
    // The row id shown in a grid row; 0 for the empty row below the rows.
    std::int64_t rowIdAt(int row) const;
    int lineRows() const { return static_cast<int>(rows_.size()); }
    // Makes the grid row a distribution row when it is the empty row;
    // nothing when the distribution is full.
    std::optional<std::int64_t> lineAt(int row);
    // Sets the account of a grid row as the account column does; false when
    // refused, which is also signalled.
    bool setAccount(int row, std::optional<std::int32_t> account);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void linesChanged();
    // An account that is not a number or not in the chart, or taken off a
    // row that holds an amount: nothing changed.
    void accountRefused(int row);
    // Text typed in an amount cell that is not an amount: nothing changed.
    void amountRefused(int row, int column, const QString& text);

private:
    bool applyEdit(const QModelIndex& index, const QVariant& value, int role);
    bool hasEmptyRow() const;

    journal::DistributionLines* lines_ = nullptr;
    std::vector<journal::DistributionLines::Row> rows_;
    QStringList titles_;
    std::function<QString(Money)> money_;
    bool editable_ = false;
};

} // namespace vm::forms
