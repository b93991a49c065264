#pragma once
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "modules/cashdisb/core/DisbursementEntry.h"
#endif

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace vm::cashdisb {

// The open-invoice grid: invoice, date, due date and open amount read-only,
// the payment editable while a disbursement to a supplier is being entered.
class InvoiceGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Invoice, InvoiceDate, DueDate, Amount, Payment, ColumnCount };

    explicit InvoiceGridModel(QObject* parent = nullptr);

    // The entry shown; the grid is empty without one.
    void setEntry(DisbursementEntry* entry) { entry_ = entry; }

    void setMoneyFormat(std::function<QString(Money)> format) { money_ = std::move(format); }
    void setEditable(bool editable) { editable_ = editable; }
    void reload();
    std::int64_t rowIdAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A payment changed: the automatic lines and the totals moved.
    void paymentsChanged();

private:
    bool applyEdit(const QModelIndex& index, const QVariant& value, int role);
    DisbursementEntry* entry_ = nullptr;
    std::vector<DisbursementEntry::InvoiceRow> rows_;
    QStringList titles_;
    std::function<QString(Money)> money_;
    bool editable_ = false;
};

} // namespace vm::cashdisb
