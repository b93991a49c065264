#pragma once
#include <QDialog>

namespace vm::forms {

// The small box shown while an operation waits for a record that another
// workstation holds: it does not block the waiting code, keeps the other
// windows from taking input, and lets the user give up.
class TLockWaitBox : public QDialog {
    Q_OBJECT
public:
    explicit TLockWaitBox(QWidget* parent = nullptr);

    bool cancelled() const { return cancelled_; }

protected:
    void reject() override; // Escape gives up as Cancel does

private:
    bool cancelled_ = false;
};

} // namespace vm::forms
