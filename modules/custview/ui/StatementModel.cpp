#include "modules/custview/ui/StatementModel.h"

#include "modules/custview/core/InquiryMessage.h"

namespace vm::custview {

QVariant StatementModel::data(const QModelIndex& index, int role) const {
    QVariant v = QIdentityProxyModel::data(index, role);
    if (role != Qt::DisplayRole || index.column() != kTypeColumn) return v;
    const QString type = v.toString();
    const int line = type.isEmpty() ? kMsgNone : typeNameMessage(type.at(0).toLatin1());
    return line >= 0 && line < names_.size() ? names_.at(line) : v;
}

} // namespace vm::custview
