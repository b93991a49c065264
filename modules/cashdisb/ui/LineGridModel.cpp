#include "modules/cashdisb/ui/LineGridModel.h"

#include "common/forms/Application.h"

#include "common/forms/DisplayFormat.h"

#include <QTimer>

namespace vm::cashdisb {

LineGridModel::LineGridModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{QStringLiteral("Account"), QStringLiteral("Account description"),
                                           QStringLiteral("Debit"), QStringLiteral("Credit")},
      money_([](Money m) { return forms::DisplayFormat::money(m); }) {}

void LineGridModel::setEditable(bool editable) {
    if (editable == editable_) return;
    beginResetModel();
    editable_ = editable;
    endResetModel();
}

void LineGridModel::reload() {
    beginResetModel();
    rows_ = entry_ ? entry_->lines() : std::vector<DisbursementEntry::LineRow>();
    endResetModel();
}

bool LineGridModel::hasEmptyRow() const {
    return editable_ && rows_.size() < DisbursementDocument::kMaxLines;
}

std::int64_t LineGridModel::rowIdAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].rowId : 0;
}

std::optional<std::int64_t> LineGridModel::lineAt(int row) {
    if (const std::int64_t id = rowIdAt(row)) return id;
    if (!entry_) return std::nullopt;
    return entry_->addLine(); // the 21st line is refused without a word
}

CheckResult LineGridModel::setAccount(int row, std::optional<std::int32_t> account) {
    const auto id = lineAt(row);
    if (!id) return {};
    const CheckResult r = entry_->setLineAccount(*id, account);
    if (!r.ok()) emit accountRefused(row, r.message);
    return r;
}

int LineGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + (hasEmptyRow() ? 1 : 0);
}

int LineGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LineGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const DistributionLine& l = rows_[static_cast<std::size_t>(index.row())].line;
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
        return edit ? forms::DisplayFormat::moneyForEdit(l.debit) : money_(l.debit);
    case Credit:
        return edit ? forms::DisplayFormat::moneyForEdit(l.credit) : money_(l.credit);
    default:
        return {};
    }
}

QVariant LineGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_.at(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section < static_cast<int>(rows_.size()) ? QVariant(section + 1)
                                                        : QVariant(QStringLiteral("*"));
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
    if (editable_) f |= Qt::ItemIsEditable;
    return f;
}

// The view calls this from inside its editor handling, which must not be
// unwound by an engine failure: the failure goes to the module's exception
// hook once the view is done.
bool LineGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    return forms::Application::guardedEdit(this, [&] { return applyEdit(index, value, role); });
}

bool LineGridModel::applyEdit(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !editable_ || !index.isValid() || !entry_) return false;
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
                emit accountRefused(row, kMsgAccountInvalid);
                return false;
            }
        }
        changed = setAccount(row, account).ok();
        break;
    }
    case Description:
        if (const auto id = lineAt(row)) {
            entry_->setLineDescription(*id, text.toStdString());
            changed = true;
        }
        break;
    case Debit:
    case Credit: {
        const std::optional<Money> amount =
            text.isEmpty() ? std::optional<Money>(Money()) : forms::DisplayFormat::parseMoney(text);
        if (!amount) return false;
        if (const auto id = lineAt(row)) {
            if (index.column() == Debit)
                entry_->setLineDebit(*id, *amount);
            else
                entry_->setLineCredit(*id, *amount);
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

} // namespace vm::cashdisb
