#pragma once
#include <QObject>

class QAbstractItemView;
class QLineEdit;

namespace vm::components {

// Lets the keys that move through a list (Up, Down, Page Up, Page Down) reach
// the list while the user types in the search box above it, so that the
// focus never has to leave the search box. Owned by the search box.
class SearchKeyForwarder : public QObject {
public:
    SearchKeyForwarder(QLineEdit& search, QAbstractItemView& list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView& list_;
};

} // namespace vm::components
