#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vm::shell {

// The login dialog: the password alone identifies the user. The field
// shows stars and turns every typed letter into upper case, as passwords
// are stored. It is emptied on every activation.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    QString password() const;
    bool useStandardDesktop() const;
    void clearPassword();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label_;
    QLineEdit* password_;
    QCheckBox* standardDesktop_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace vm::shell
