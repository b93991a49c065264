#include "common/forms/DistributionGridModel.h"

#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"

#include <QTimer>

namespace vm::forms {

DistributionGridModel::DistributionGridModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{QStringLiteral("Account"), QStringLiteral("Account description"),
                                           QStringLiteral("Debit"), QStringLiteral("Credit")},
      money_([](Money m) { return DisplayFormat::money(m); }) {}

void DistributionGridModel::setEditable(bool editable) {
    if (editable == editable_) return;
    beginResetModel();
    editable_ = editable;
    endResetModel();
}

void DistributionGridModel::reload() {
    beginResetModel();
    rows_ = lines_ ? lines_->rows() : std::vector<journal::DistributionLines::Row>();
    endResetModel();
}

bool DistributionGridModel::hasEmptyRow() const {
    return editable_ && lines_ && static_cast<int>(rows_.size()) < lines_->maxLines();
}

std::int64_t DistributionGridModel::rowIdAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].rowId : 0;
}

std::optional<std::int64_t> DistributionGridModel::lineAt(int row) {
    if (const std::int64_t id = rowIdAt(row)) return id;
    if (!lines_) return std::nullopt;
    return lines_->add(); // nothing once the distribution is full
}

bool DistributionGridModel::setAccount(int row, std::optional<std::int32_t> account) {
    const auto id = lineAt(row);
    if (!id) return true;
    if (lines_->setAccount(*id, account)) return true;
    emit accountRefused(row);
    return false;
}

int DistributionGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + (hasEmptyRow() ? 1 : 0);
}

int DistributionGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DistributionGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const journal::DistributionLine& l = rows_[static_cast<std::size_t>(index.row())].line;
    if (role == Qt::TextAlignmentRole)
        return index.column() == Description ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    const bool edit = role == Qt::EditRole;
    if (role != Qt::DisplayRole && !edit) return {};
    switch (index.column()) {
    case Account:
        return l.account ? QString::number(*l.account) : QString();
    case Description:
        return QString::fromStdString(l.description);
    case Debit:
        return edit ? DisplayFormat::moneyForEdit(l.debit) : money_(l.debit);
    case Credit:
        return edit ? DisplayFormat::moneyForEdit(l.credit) : money_(l.credit);
    default:
        return {};
    }
}

QVariant DistributionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_.at(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section < static_cast<int>(rows_.size()) ? QVariant(section + 1)
                                                        : QVariant(QStringLiteral("*"));
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool DistributionGridModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                          int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= titles_.size()) return false;
    titles_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

Qt::ItemFlags DistributionGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_) f |= Qt::ItemIsEditable;
    return f;
}

// The view calls this from inside its editor handling, which must not be
// unwound by an engine failure: the failure goes to the module's exception
// hook once the view is done.
bool DistributionGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    return Application::guardedEdit(this, [&] { return applyEdit(index, value, role); });
}

bool DistributionGridModel::applyEdit(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !editable_ || !index.isValid() || !lines_) return false;
    const QString text = value.toString().trimmed();
    const int row = index.row();
    if (row >= static_cast<int>(rows_.size()) && text.isEmpty())
        return false; // nothing typed in the empty row: no line
    bool changed = false;
    switch (index.column()) {
    case Account: {
        std::optional<std::int32_t> account;
        if (!text.isEmpty()) {
            bool ok = false;
            account = text.toInt(&ok);
            if (!ok) {
                emit accountRefused(row);
                return false;
            }
        }
        changed = setAccount(row, account);
        break;
    }
    case Description:
        if (const auto id = lineAt(row)) {
            lines_->setDescription(*id, text.toStdString());
            changed = true;
        }
        break;
    case Debit:
    case Credit: {
        const std::optional<Money> amount =
            text.isEmpty() ? std::optional<Money>(Money()) : DisplayFormat::parseMoney(text);
        if (!amount) {
            emit amountRefused(row, index.column(), text);
            return false;
        }
        if (const auto id = lineAt(row)) {
            if (index.column() == Debit)
                lines_->setDebit(*id, *amount);
            else
                lines_->setCredit(*id, *amount);
            changed = true;
        }
        break;
    }
    default:
        return false;
    }
    // A new line or a cleared side changes other cells and rows: the grid is
    // re-read once the editor has closed.
    QTimer::singleShot(0, this, [this] {
        reload();
        emit linesChanged();
    });
    return changed;
}

} // namespace vm::forms
