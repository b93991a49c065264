#include "common/forms/InvoiceGridModel.h"

#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"

namespace vm::forms {

InvoiceGridModel::InvoiceGridModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{QStringLiteral("Invoice"), QStringLiteral("Date"),
                                           QStringLiteral("Due date"), QStringLiteral("Amount"),
                                           QStringLiteral("Payment")},
      money_([](Money m) { return DisplayFormat::money(m); }) {}

void InvoiceGridModel::reload() {
    beginResetModel();
    rows_ = invoices_ ? invoices_() : std::vector<journal::OpenInvoice>();
    endResetModel();
}

std::int64_t InvoiceGridModel::rowIdAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].rowId : 0;
}

int InvoiceGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int InvoiceGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant InvoiceGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const auto& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Amount ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (role == Qt::EditRole && index.column() == Payment) return DisplayFormat::moneyForEdit(r.payment);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case Invoice:
        return QString::fromStdString(r.invoice);
    case InvoiceDate:
        return DisplayFormat::date(r.date);
    case DueDate:
        return DisplayFormat::date(r.dueDate);
    case Amount:
        return money_(r.amount);
    case Payment:
        return money_(r.payment);
    default:
        return {};
    }
}

QVariant InvoiceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool InvoiceGridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                     int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= titles_.size()) return false;
    titles_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

Qt::ItemFlags InvoiceGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_ && index.column() == Payment) f |= Qt::ItemIsEditable;
    return f;
}

// The view calls this from inside its editor handling, which must not be
// unwound by an engine failure: the failure goes to the module's exception
// hook once the view is done.
bool InvoiceGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    return Application::guardedEdit(this, [&] { return applyEdit(index, value, role); });
}

bool InvoiceGridModel::applyEdit(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != Payment || !editable_ || !pay_) return false;
    const QString text = value.toString().trimmed();
    const std::optional<Money> payment =
        text.isEmpty() ? std::optional<Money>(Money()) : DisplayFormat::parseMoney(text);
    if (!payment) {
        emit amountRefused(index.row(), index.column(), text);
        return false;
    }
    pay_(rowIdAt(index.row()), *payment);
    rows_[static_cast<std::size_t>(index.row())].payment = *payment;
    emit dataChanged(index, index);
    emit paymentsChanged();
    return true;
}

} // namespace vm::forms
