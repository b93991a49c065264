#pragma once
#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vm::forms {
class MessageList;
}

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

    // The company (or companies) of the data directory, named in the dialog.
    void setCompanyName(const QString& name);
    // OK asks `check` first: a password it refuses is told ("Incorrect
    // password") and the dialog stays where it is, emptied, for another try.
    void setPasswordCheck(std::function<bool(const QString&)> check) { check_ = std::move(check); }

    void accept() override;

signals:
    // F1: the desktop opens the login's help page.
    void helpRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool(const QString&)> check_;
    forms::MessageList* messages_;
    QLabel* companyCaption_;
    QLabel* companyName_;
    QLabel* label_;
    QLineEdit* password_;
    QCheckBox* standardDesktop_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace vm::shell
