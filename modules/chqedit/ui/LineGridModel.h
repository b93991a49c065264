#pragma once
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "modules/chqedit/core/ChequeEntryEditor.h"
#endif

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace vm::chqedit {

// The lines grid: the work lines of the entry shown, and below them, while
// the entry is edited, an empty row that becomes a line when an invoice (or
// reference) is typed in it. Every change goes through the editor's line
// rules; a refusal is signalled with its message.
class LineGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Invoice, Date, DueDate, Amount, Discount, Payment, ColumnCount };

    explicit LineGridModel(QObject* parent = nullptr);

    void setEditor(ChequeEntryEditor* editor) { editor_ = editor; }
    void setEditable(bool editable);
    bool editable() const { return editable_; }
    void reload();
    // The work row of a grid row; 0 for the empty row.
    std::int64_t rowIdAt(int row) const;
    int rowOf(std::int64_t rowId) const;
    int lineRows() const { return static_cast<int>(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // The lines changed: the cheque amount and its words with them.
    void linesChanged();
    // A change was refused (or taken with a message): `message` of the list.
    void refused(int row, int column, int message);

private:
    struct Row {
        std::int64_t rowId = 0;
        QString invoice;
        vm::Date date, dueDate;
        Money amount, discount, payment;
    };
    bool applyEdit(const QModelIndex& index, const QVariant& value);

    ChequeEntryEditor* editor_ = nullptr;
    std::vector<Row> rows_;
    QStringList titles_;
    bool editable_ = false;
};

} // namespace vm::chqedit
