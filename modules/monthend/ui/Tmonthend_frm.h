#pragma once
#include "common/core/LinkSection.h"
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "engine/Date.h"
#endif

#include <QDialog>
#include <QPointer>

#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace vm::forms {
class MessageList;
class TErrorForm;
} // namespace vm::forms

namespace vm::monthend {

class Tmonthend_dm;

// "End of month procedure": the cut-off date, the notice of what the run
// does (or that the year has ended), and "Proceed with update", which runs
// the month end with a progress bar, shows the finish box and closes the
// window.
class Tmonthend_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 211;
    // Lines of the message list.
    enum Message { kMsgInvalidDate = 0, kMsgLockGivenUp = 1, kMsgCancelled = 2 };

    Tmonthend_frm(core::TLinkSection& link, Tmonthend_dm& dm, QWidget* parent = nullptr);
    ~Tmonthend_frm() override;

    void setErrorForm(forms::TErrorForm* form);

    // The work of the first activation: texts, status bar, alias, tables,
    // notice. Returns false when a table could not be opened (the user was
    // told and the window is closing). Later calls do nothing.
    bool startUp();
    void applyDateMask();

    // What the buttons do, callable from tests.
    void proceed();
    void cancelRun() { cancelRequested_ = true; }
    void printScreen();
    void showHelp();
    void quit();

    bool running() const { return running_; }
    forms::MessageList& messages() { return *messages_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    // The date box as a date; on a bad date the user is told, the box is
    // reset to today and keeps the focus.
    std::optional<Date> cutoffDate();
    void setRunning(bool on);
    QString message(int i) const;
    void finished();

    core::TLinkSection& link_;
    Tmonthend_dm& dm_;
    QPointer<forms::TErrorForm> errorForm_;

    QLabel* labelDate_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QPlainTextEdit* notice_ = nullptr;
    QPushButton* btnProceed_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnExit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
    forms::MessageList* normalNotice_ = nullptr;
    forms::MessageList* yearEndNotice_ = nullptr;

    bool started_ = false;
    bool running_ = false;
    bool leaving_ = false;
    bool cancelRequested_ = false;
    QString helpPath_;
};

} // namespace vm::monthend
