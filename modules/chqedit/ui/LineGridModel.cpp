#include "modules/chqedit/ui/LineGridModel.h"

#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"
#include "engine/Cursor.h"

#include <QTimer>

namespace vm::chqedit {

LineGridModel::LineGridModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{QStringLiteral("Invoice"),  QStringLiteral("Date"),
                                           QStringLiteral("Due date"), QStringLiteral("Amount"),
                                           QStringLiteral("Discount"), QStringLiteral("Payment")} {}

void LineGridModel::setEditable(bool editable) {
    if (editable == editable_) return;
    beginResetModel();
    editable_ = editable;
    endResetModel();
}

void LineGridModel::reload() {
    beginResetModel();
    rows_.clear();
    if (editor_) {
        Cursor& w = editor_->workLines();
        for (bool on = w.first(); on; on = w.next())
            rows_.push_back({w.rowId(), QString::fromStdString(w.str("Apchqd_invoice")),
                             w.date("Apchqd_date"), w.date("Apchqd_du_date"), w.money("Apchqd_montant"),
                             w.money("Apchqd_esc"), w.money("Apchqd_payment")});
    }
    endResetModel();
}

std::int64_t LineGridModel::rowIdAt(int row) const {
    return row >= 0 && row < lineRows() ? rows_[static_cast<std::size_t>(row)].rowId : 0;
}

int LineGridModel::rowOf(std::int64_t rowId) const {
    for (int i = 0; i < lineRows(); ++i)
        if (rows_[static_cast<std::size_t>(i)].rowId == rowId) return i;
    return -1;
}

int LineGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lineRows() + (editable_ ? 1 : 0);
}

int LineGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LineGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lineRows()) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Amount ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    const bool edit = role == Qt::EditRole;
    if (role != Qt::DisplayRole && !edit) return {};
    auto money = [edit](Money m) {
        return edit ? forms::DisplayFormat::moneyForEdit(m) : forms::DisplayFormat::money(m);
    };
    switch (index.column()) {
    case Invoice:
        return r.invoice;
    case Date:
        return forms::DisplayFormat::date(r.date);
    case DueDate:
        return forms::DisplayFormat::date(r.dueDate);
    case Amount:
        return money(r.amount);
    case Discount:
        return money(r.discount);
    case Payment:
        return money(r.payment);
    default:
        return {};
    }
}

QVariant LineGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_.at(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section < lineRows() ? QVariant(section + 1) : QVariant(QStringLiteral("*"));
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool LineGridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= titles_.size()) return false;
    titles_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

Qt::ItemFlags LineGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!editable_ || !editor_ || !index.isValid()) return f;
    const bool line = index.row() < lineRows();
    switch (index.column()) {
    case Invoice:
        return f | Qt::ItemIsEditable;
    case Date:
    case DueDate:
        // A supplier's invoice keeps the ledger's dates.
        return line && !editor_->hasSupplier() ? f | Qt::ItemIsEditable : f;
    case Amount:
    case Discount:
        // Nothing but the invoice until the line has one.
        return line ? f | Qt::ItemIsEditable : f;
    default:
        return f;
    }
}

// The view calls this from inside its editor handling, which must not be
// unwound by an engine failure: the failure goes to the module's exception
// hook once the view is done.
bool LineGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    return forms::Application::guardedEdit(this, [&] { return applyEdit(index, value); });
}

bool LineGridModel::applyEdit(const QModelIndex& index, const QVariant& value) {
    if (!editable_ || !editor_ || !index.isValid()) return false;
    const QString text = value.toString().trimmed();
    const int row = index.row();
    const std::int64_t id = rowIdAt(row);
    int message = kNoMessage;
    bool changed = false;
    switch (index.column()) {
    case Invoice: {
        if (text.isEmpty()) return false; // a line keeps its invoice; the empty row stays empty
        const LineResult r = editor_->setInvoice(id, text.toStdString());
        message = r.message;
        changed = r.accepted;
        break;
    }
    case Date:
    case DueDate: {
        const auto date = forms::DisplayFormat::parseDate(text);
        if (!id || !date) return false;
        editor_->setLineDate(id, index.column() == Date ? "Apchqd_date" : "Apchqd_du_date", *date);
        changed = true;
        break;
    }
    case Amount:
    case Discount: {
        const std::optional<Money> amount =
            text.isEmpty() ? std::optional<Money>(Money()) : forms::DisplayFormat::parseMoney(text);
        if (!id) return false;
        if (!amount) {
            message = kMsgBadNumber;
            break;
        }
        message = index.column() == Amount ? editor_->setAmounts(id, *amount, std::nullopt)
                                           : editor_->setAmounts(id, std::nullopt, *amount);
        changed = true;
        break;
    }
    default:
        return false;
    }
    const int column = index.column();
    // A new line, a payment and the cheque amount change with one cell: the
    // grid is re-read once the cell's editor has closed.
    QTimer::singleShot(0, this, [this, row, column, message, changed] {
        if (changed) {
            reload();
            emit linesChanged();
        }
        if (message != kNoMessage) emit refused(row, column, message);
    });
    return changed;
}

} // namespace vm::chqedit
