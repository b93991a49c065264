#pragma once
#include <QDialog>

#include <exception>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vm::forms {

// The error form every module shows for a table-engine failure: category,
// code and message of the error, the notice that the application must be
// closed, a print button and "Close". Modal, centred, without border icons.
class TErrorForm : public QDialog {
    Q_OBJECT
public:
    // Retry state of the lock loop: kNoLock before each attempt, kLocked
    // when the last attempt met a record lock.
    static constexpr int kNoLock = 2;
    static constexpr int kLocked = 1;

    explicit TErrorForm(QWidget* parent = nullptr);

    // Fills the three fields and shows the form modally.
    void Show(const QString& category, const QString& code, const QString& message);

    // Classifies an exception of a wrapped operation for the retry loop: a
    // record lock or a busy database sets the retry state to kLocked and
    // shows nothing; another
    // engine error is shown with its category and code; anything else is
    // shown with "xxxxx" for both. Returns the retry state.
    int Handle(std::exception_ptr error);

    int retryState() const { return retryState_; }
    void setRetryState(int state) { retryState_ = state; }

    // The printer index of the session record, for the print button.
    void setPrinterIndex(const QString& index) { printerIndex_ = index; }

    QString category() const;
    QString code() const;
    QString message() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* category_ = nullptr;
    QLabel* code_ = nullptr;
    QPlainTextEdit* message_ = nullptr;
    QString printerIndex_;
    int retryState_ = kNoLock;
};

} // namespace vm::forms
