#pragma once
#include "common/core/LinkSection.h"
#include "common/core/SmtpClient.h"

#include <QDialog>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace vm::forms {
class MessageList;
}

namespace vm::custstmt {

// "Send Mail": the mail client's window. Its pages show the connection, the
// message being sent and a user check; its status line follows the client.
// A statement run drives it (setRunning): the pages then show what the run
// sends and its own commands wait. Alone, it connects, sends the message on
// its second page, verifies a user and expands a list, each on a thread of
// its own so that the window never freezes.
class SendMailWindow : public QDialog {
    Q_OBJECT
public:
    explicit SendMailWindow(core::TLinkSection& link, QWidget* parent = nullptr);
    ~SendMailWindow() override;

    // The connection page from the settings; `name` and `address` the sender's.
    void setConnection(const mail::SmtpSettings& settings, const std::string& name,
                       const std::string& address);
    // The settings as the connection page stands (the rest as last set).
    mail::SmtpSettings settings() const;
    // A statement run owns the connection: the window's own commands are off,
    // and closing the window asks the run to stop (`cancel`).
    void setRunning(bool running, std::function<void()> cancel = {});
    // The message a run is about to send, on the "Sending E-Mail" page.
    void showMessage(const mail::MailMessage& message);
    // One step of the mail client on the status line.
    void showStatus(const mail::SmtpStatus& status);
    QString statusText() const;
    // A text of the window's message list (the status texts and questions;
    // kBoxCaption and kBoxLabel: the "Sending Mail..." box).
    QString text(int index) const;
    static constexpr int kBoxCaption = 17, kBoxLabel = 18;

    // The window's own commands (the buttons).
    void connectToServer();
    void disconnectFromServer();
    void sendComposed();
    void verifyUser();
    void expandList();
    // Whether one of them is under way.
    bool busy() const { return busy_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void setBusy(bool busy);
    // Runs `work` on the mail thread, where the client lives; `done` back on
    // this one with an error text (empty when it went well).
    void onMailThread(std::function<std::string()> work, std::function<void(const QString&)> done);
    bool askToConnect();
    void setStatus(const QString& text);

    core::TLinkSection& link_;
    mail::SmtpSettings settings_;
    QThread mailThread_;
    QObject* mailContext_ = nullptr;         // lives on mailThread_
    std::unique_ptr<mail::SmtpClient> smtp_; // touched only on mailThread_
    std::atomic<bool> closing_{false};       // ends the client's waits when the window goes
    bool connected_ = false, busy_ = false, running_ = false;
    std::function<void()> cancelRun_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit *host_ = nullptr, *port_ = nullptr, *userId_ = nullptr, *name_ = nullptr, *address_ = nullptr;
    QLineEdit *to_ = nullptr, *cc_ = nullptr, *bcc_ = nullptr, *subject_ = nullptr, *verifyName_ = nullptr;
    QPlainTextEdit* body_ = nullptr;
    QPlainTextEdit* verifyResult_ = nullptr;
    QListWidget* attachments_ = nullptr;
    std::vector<QPushButton*> commands_;
    QLabel* status_ = nullptr;
    forms::MessageList* messages_ = nullptr;
};

} // namespace vm::custstmt
