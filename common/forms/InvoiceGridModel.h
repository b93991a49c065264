#pragma once
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "common/journal/DistributionLines.h"
#endif

#include <QAbstractTableModel>

#include <cstddef>
#include <functional>
#include <vector>

namespace vm::forms {

// The open-invoice grid: invoice, date, due date and open amount read-only,
// the payment editable while a receipt from a client or a disbursement to a
// supplier is being entered.
class InvoiceGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Invoice, InvoiceDate, DueDate, Amount, Payment, ColumnCount };

    explicit InvoiceGridModel(QObject* parent = nullptr);

    // The entry shown (a receipt or a disbursement: its open invoices and the
    // payment applied to one); the grid is empty without one.
    void setEntry(std::nullptr_t) {
        invoices_ = nullptr;
        pay_ = nullptr;
    }
    template <class Entry> void setEntry(Entry* entry) {
        if (!entry) return setEntry(nullptr);
        invoices_ = [entry] { return entry->invoices(); };
        pay_ = [entry](std::int64_t rowId, Money payment) { entry->setPayment(rowId, payment); };
    }

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
    // Text typed in an amount cell that is not an amount: nothing changed.
    void amountRefused(int row, int column, const QString& text);
    // A payment changed: the automatic lines and the totals moved.
    void paymentsChanged();

private:
    bool applyEdit(const QModelIndex& index, const QVariant& value, int role);
    std::function<std::vector<journal::OpenInvoice>()> invoices_;
    std::function<void(std::int64_t, Money)> pay_;
    std::vector<journal::OpenInvoice> rows_;
    QStringList titles_;
    std::function<QString(Money)> money_;
    bool editable_ = false;
};

} // namespace vm::forms
