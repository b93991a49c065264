#pragma once
#include <QIdentityProxyModel>
#include <QStringList>

namespace vm::custview {

// The statement grid: the query's columns, with the type column (column 3)
// shown by its name from the window's message list.
class StatementModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    static constexpr int kTypeColumn = 3;
    void setTypeNames(QStringList names) { names_ = std::move(names); }
    QVariant data(const QModelIndex& index, int role) const override;
    // Titles go to the query's model, which keeps them across reloads.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override {
        return sourceModel() && sourceModel()->setHeaderData(section, orientation, value, role);
    }

private:
    QStringList names_;
};

} // namespace vm::custview
