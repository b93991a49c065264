#pragma once
#include <QDialog>

namespace vm::shell {

// How to reach the maker: static text.
class TContactForm : public QDialog {
    Q_OBJECT
public:
    explicit TContactForm(QWidget* parent = nullptr);
};

} // namespace vm::shell
