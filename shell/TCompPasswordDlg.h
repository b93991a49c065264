#pragma once
#include <QDialog>

class QLineEdit;

namespace vm::shell {

// Asks the password of a company other than the user's own. The text is
// compared exactly as typed.
class TCompPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCompPasswordDlg(QWidget* parent = nullptr);
    QString password() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* password_;
};

} // namespace vm::shell
