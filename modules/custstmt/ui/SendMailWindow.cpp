#include "modules/custstmt/ui/SendMailWindow.h"

#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <iterator>

namespace vm::custstmt {

namespace {
constexpr int kHelpContext = 209;
// The answer of a failed host look-up, told apart from other failures.
const std::string kNoSuchHost = "\x01";

enum Text {
    TConnected,
    TDisconnected,
    THostResolved,
    TSending,
    TSuccess,
    TFailure,
    TEncoding,
    TEncoded,
    TBytes,
    TConnectionFailed,
    THeaderIncomplete,
    TInvalidHost,
    TNewHost,
    TConnectionRequired,
    TVerified,
    TNotVerified,
    TAlreadyConnected,
};
const char* const kTexts[] = {"Connected",
                              "Disconnected",
                              "Host Resolved",
                              "Sending message",
                              "Success",
                              "Failure",
                              "Encoding %1",
                              "Finished encoding %1",
                              "%1 bytes of %2 sent",
                              "Connection Failed",
                              "Header Incomplete.",
                              "Invalid Host!",
                              "Specify a new host:",
                              "Connection Required. Connect?",
                              "%1 verified",
                              "%1 not verified",
                              "Already connected",
                              "Sending Mail...",
                              "Sending Mail ..."};

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}
QLabel* label(QWidget* parent, const char* name, const char* text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
std::vector<std::string> addresses(const QString& text) {
    std::vector<std::string> out;
    for (const QString& a : text.split(',', Qt::SkipEmptyParts))
        if (!a.trimmed().isEmpty()) out.push_back(a.trimmed().toStdString());
    return out;
}
} // namespace

SendMailWindow::SendMailWindow(core::TLinkSection& link, QWidget* parent) : QDialog(parent), link_(link) {
    setObjectName("TSendMail_frm");
    build();
    forms::ModuleStartup st(link_);
    try {
        st.translate(*this, "custstmt");
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    mailContext_ = new QObject;
    mailContext_->moveToThread(&mailThread_);
    connect(&mailThread_, &QThread::finished, mailContext_, &QObject::deleteLater);
    mailThread_.start();
    setStatus(text(TDisconnected));
}

SendMailWindow::~SendMailWindow() {
    // The client is closed where it lives, then the thread ends.
    closing_ = true;
    QMetaObject::invokeMethod(
        mailContext_,
        [this] {
            if (smtp_) smtp_->disconnect();
            smtp_.reset();
        },
        Qt::BlockingQueuedConnection);
    mailThread_.quit();
    mailThread_.wait();
}

void SendMailWindow::build() {
    setWindowTitle("Send Mail");
    auto* outer = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    outer->addWidget(tabs_);

    // Connection.
    auto* conn = new QWidget(tabs_);
    conn->setObjectName("TabConnection");
    tabs_->addTab(conn, "Connection");
    auto* cg = new QGridLayout(conn);
    host_ = lineEdit(conn, "EditHost");
    port_ = lineEdit(conn, "EditPort");
    port_->setText("25");
    port_->setInputMask("00000");
    port_->setMaximumWidth(70);
    userId_ = lineEdit(conn, "EditUserId");
    cg->addWidget(label(conn, "LabelHost", "Host: "), 0, 0);
    cg->addWidget(host_, 0, 1);
    cg->addWidget(label(conn, "LabelPort", "Port: "), 1, 0);
    cg->addWidget(port_, 1, 1, Qt::AlignLeft);
    cg->addWidget(label(conn, "LabelUserId", "User ID: "), 2, 0);
    cg->addWidget(userId_, 2, 1);
    auto* connButtons = new QVBoxLayout;
    auto* btnConnect = button(conn, "BtnConnect", "Connect");
    auto* btnDisconnect = button(conn, "BtnDisconnect", "Disconnect");
    connButtons->addWidget(btnConnect);
    connButtons->addWidget(btnDisconnect);
    connButtons->addStretch();
    cg->addLayout(connButtons, 0, 2, 3, 1);
    auto* local = new QGroupBox("Local Information", conn);
    local->setObjectName("GroupLocal");
    auto* lg = new QGridLayout(local);
    name_ = lineEdit(local, "EditName");
    address_ = lineEdit(local, "EditAddress");
    lg->addWidget(label(local, "LabelName", "Name: "), 0, 0);
    lg->addWidget(name_, 0, 1);
    lg->addWidget(label(local, "LabelAddress", "E-Mail Address: "), 1, 0);
    lg->addWidget(address_, 1, 1);
    cg->addWidget(local, 3, 0, 1, 3);
    cg->setColumnStretch(1, 1);
    cg->setRowStretch(4, 1);

    // Sending E-Mail.
    auto* send = new QWidget(tabs_);
    send->setObjectName("TabSending");
    tabs_->addTab(send, "Sending E-Mail");
    auto* sg = new QGridLayout(send);
    to_ = lineEdit(send, "EditTo");
    cc_ = lineEdit(send, "EditCc");
    bcc_ = lineEdit(send, "EditBcc");
    subject_ = lineEdit(send, "EditSubject");
    sg->addWidget(label(send, "LabelTo", "To: "), 0, 0);
    sg->addWidget(to_, 0, 1);
    sg->addWidget(label(send, "LabelCc", "CC: "), 1, 0);
    sg->addWidget(cc_, 1, 1);
    sg->addWidget(label(send, "LabelBcc", "BCC: "), 2, 0);
    sg->addWidget(bcc_, 2, 1);
    auto* attachBox = new QGroupBox("Attachments", send);
    attachBox->setObjectName("GroupAttachments");
    auto* ag = new QHBoxLayout(attachBox);
    attachments_ = new QListWidget(attachBox);
    attachments_->setObjectName("ListAttachments");
    attachments_->setMaximumHeight(52);
    ag->addWidget(attachments_);
    auto* attachButtons = new QVBoxLayout;
    auto* btnAdd = button(attachBox, "BtnAdd", "Add");
    auto* btnRemove = button(attachBox, "BtnRemove", "Remove");
    attachButtons->addWidget(btnAdd);
    attachButtons->addWidget(btnRemove);
    attachButtons->addStretch();
    ag->addLayout(attachButtons);
    sg->addWidget(attachBox, 3, 0, 1, 2);
    sg->addWidget(label(send, "LabelSubject", "Subject: "), 4, 0);
    sg->addWidget(subject_, 4, 1);
    body_ = new QPlainTextEdit(send);
    body_->setObjectName("MemoBody");
    body_->setTabChangesFocus(true);
    sg->addWidget(body_, 5, 0, 1, 2);
    auto* btnSend = button(send, "BtnSend", "Send");
    sg->addWidget(btnSend, 6, 1, Qt::AlignRight);
    sg->setColumnStretch(1, 1);
    sg->setRowStretch(5, 1);

    // Verify User.
    auto* verify = new QWidget(tabs_);
    verify->setObjectName("TabVerify");
    tabs_->addTab(verify, "Verify User");
    auto* vg = new QGridLayout(verify);
    verifyName_ = lineEdit(verify, "EditVerify");
    vg->addWidget(label(verify, "LabelVerify", "UserName to Verify: "), 0, 0);
    vg->addWidget(verifyName_, 0, 1);
    auto* btnVerify = button(verify, "BtnVerify", "Verify");
    auto* btnExpand = button(verify, "BtnExpand", "Expand list");
    vg->addWidget(btnVerify, 0, 2);
    vg->addWidget(btnExpand, 1, 2);
    verifyResult_ = new QPlainTextEdit(verify);
    verifyResult_->setObjectName("MemoVerify");
    verifyResult_->setReadOnly(true);
    vg->addWidget(verifyResult_, 1, 0, 2, 2);
    vg->setColumnStretch(1, 1);
    vg->setRowStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    auto* btnHelp = button(this, "BtnHelp", "Help");
    auto* btnClose = button(this, "BtnClose", "Close");
    bottom->addStretch();
    bottom->addWidget(btnHelp);
    bottom->addWidget(btnClose);
    outer->addLayout(bottom);
    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    status_ = new QLabel(bar);
    status_->setObjectName("PanelStatus");
    bar->addWidget(status_, 1);
    outer->addWidget(bar);
    messages_ = new forms::MessageList(this);

    commands_ = {btnConnect, btnDisconnect, btnSend, btnVerify, btnExpand, btnAdd, btnRemove};
    connect(btnConnect, &QPushButton::clicked, this, [this] { connectToServer(); });
    connect(btnDisconnect, &QPushButton::clicked, this, [this] { disconnectFromServer(); });
    connect(btnSend, &QPushButton::clicked, this, [this] { sendComposed(); });
    connect(btnVerify, &QPushButton::clicked, this, [this] { verifyUser(); });
    connect(btnExpand, &QPushButton::clicked, this, [this] { expandList(); });
    connect(btnAdd, &QPushButton::clicked, this, [this] {
        for (const QString& f : QFileDialog::getOpenFileNames(this, windowTitle()))
            attachments_->addItem(f);
    });
    connect(btnRemove, &QPushButton::clicked, this, [this] { delete attachments_->currentItem(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        forms::openHelp(forms::ModuleStartup(link_).helpPath(), kHelpContext, link_.Language, this);
    });
    resize(560, 470);
}

QString SendMailWindow::text(int index) const {
    const QString m = messages_->message(index);
    if (!m.isEmpty()) return m;
    return index >= 0 && index < static_cast<int>(std::size(kTexts)) ? QString(kTexts[index]) : QString();
}

void SendMailWindow::setStatus(const QString& text) {
    status_->setText(text);
}

QString SendMailWindow::statusText() const {
    return status_->text();
}

void SendMailWindow::setConnection(const mail::SmtpSettings& s, const std::string& name,
                                   const std::string& address) {
    settings_ = s;
    host_->setText(QString::fromStdString(s.host));
    port_->setText(QString::number(s.port));
    userId_->setText(QString::fromStdString(s.heloName));
    name_->setText(QString::fromStdString(name));
    address_->setText(QString::fromStdString(address));
}

mail::SmtpSettings SendMailWindow::settings() const {
    mail::SmtpSettings s = settings_;
    s.host = host_->text().trimmed().toStdString();
    s.port = port_->text().toInt() > 0 ? port_->text().toInt() : 25;
    s.heloName = userId_->text().trimmed().isEmpty() ? "localhost" : userId_->text().trimmed().toStdString();
    return s;
}

void SendMailWindow::setRunning(bool running, std::function<void()> cancel) {
    running_ = running;
    cancelRun_ = std::move(cancel);
    setBusy(busy_);
    if (running) tabs_->setCurrentIndex(1);
}

void SendMailWindow::setBusy(bool busy) {
    busy_ = busy;
    for (auto* b : commands_)
        b->setEnabled(!busy && !running_);
}

void SendMailWindow::showMessage(const mail::MailMessage& m) {
    auto joined = [](const std::vector<std::string>& list) {
        QStringList out;
        for (const auto& a : list)
            out << QString::fromStdString(a);
        return out.join(',');
    };
    to_->setText(joined(m.to));
    cc_->setText(joined(m.cc));
    bcc_->setText(joined(m.bcc));
    subject_->setText(QString::fromStdString(m.subject));
    body_->setPlainText(QString::fromStdString(m.body));
    attachments_->clear();
    for (const auto& a : m.attachments)
        attachments_->addItem(QString::fromStdString(a.fileName));
}

void SendMailWindow::showStatus(const mail::SmtpStatus& s) {
    using mail::SmtpEvent;
    const QString file = QString::fromStdString(s.file);
    switch (s.event) {
    case SmtpEvent::HostResolved:
        setStatus(text(THostResolved));
        break;
    case SmtpEvent::Connected:
        setStatus(text(TConnected));
        break;
    case SmtpEvent::Sending:
        setStatus(text(TSending));
        break;
    case SmtpEvent::Encoding:
        setStatus(text(TEncoding).arg(file));
        break;
    case SmtpEvent::Encoded:
        setStatus(text(TEncoded).arg(file));
        break;
    case SmtpEvent::Progress:
        setStatus(text(TBytes).arg(s.done).arg(s.total));
        break;
    case SmtpEvent::Success:
        setStatus(text(TSuccess));
        break;
    case SmtpEvent::Failure:
        setStatus(text(TFailure));
        break;
    case SmtpEvent::Disconnected:
        setStatus(text(TDisconnected));
        break;
    }
}

void SendMailWindow::onMailThread(std::function<std::string()> work,
                                  std::function<void(const QString&)> done) {
    setBusy(true);
    QMetaObject::invokeMethod(mailContext_, [this, work = std::move(work), done = std::move(done)] {
        std::string error;
        try {
            error = work();
        } catch (const mail::SmtpError& e) {
            error = e.what();
            if (!e.reply().empty()) error += "\n" + e.reply();
        }
        const bool up = smtp_ && smtp_->connected();
        QMetaObject::invokeMethod(this, [this, error, done, up] {
            connected_ = up;
            setBusy(false);
            done(QString::fromStdString(error));
        });
    });
}

void SendMailWindow::connectToServer() {
    if (busy_ || running_) return;
    if (connected_) {
        QMessageBox::information(this, windowTitle(), text(TAlreadyConnected));
        return;
    }
    const mail::SmtpSettings s = settings();
    auto observer = [this](const mail::SmtpStatus& st) {
        QMetaObject::invokeMethod(this, [this, st] { showStatus(st); });
    };
    onMailThread(
        [this, s, observer]() -> std::string {
            if (QHostInfo::fromName(QString::fromStdString(s.host)).error() != QHostInfo::NoError)
                return kNoSuchHost;
            smtp_ = std::make_unique<mail::SmtpClient>(s, &closing_);
            smtp_->setObserver(observer);
            smtp_->connect();
            return {};
        },
        [this](const QString& error) {
            if (error.isEmpty()) return;
            if (error.toStdString() == kNoSuchHost) {
                // One more chance with another host.
                bool ok = false;
                const QString other = QInputDialog::getText(this, text(TInvalidHost), text(TNewHost),
                                                            QLineEdit::Normal, host_->text(), &ok);
                if (ok && !other.trimmed().isEmpty() && other.trimmed() != host_->text()) {
                    host_->setText(other.trimmed());
                    connectToServer();
                }
                return;
            }
            setStatus(text(TConnectionFailed));
            QMessageBox::warning(this, windowTitle(), text(TConnectionFailed) + "\n\n" + error);
        });
}

void SendMailWindow::disconnectFromServer() {
    if (busy_ || running_) return;
    onMailThread(
        [this]() -> std::string {
            if (smtp_) smtp_->disconnect();
            smtp_.reset();
            return {};
        },
        [this](const QString&) { setStatus(text(TDisconnected)); });
}

bool SendMailWindow::askToConnect() {
    if (connected_) return true;
    if (QMessageBox::question(this, windowTitle(), text(TConnectionRequired)) == QMessageBox::Yes)
        connectToServer();
    return false;
}

void SendMailWindow::sendComposed() {
    if (busy_ || running_) return;
    mail::MailMessage m;
    m.fromName = name_->text().trimmed().toStdString();
    m.fromAddress = mail::bareAddress(address_->text().toStdString());
    m.to = addresses(to_->text());
    m.cc = addresses(cc_->text());
    m.bcc = addresses(bcc_->text());
    if (m.fromAddress.empty() || (m.to.empty() && m.cc.empty() && m.bcc.empty())) {
        QMessageBox::warning(this, windowTitle(), text(THeaderIncomplete));
        return;
    }
    if (!askToConnect()) return;
    m.subject = subject_->text().toStdString();
    m.body = body_->toPlainText().toStdString();
    m.mailer = "Valmorand " + forms::ModuleStartup::projectVersion().toStdString();
    for (int i = 0; i < attachments_->count(); ++i) {
        const QString path = attachments_->item(i)->text();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            setStatus(text(TFailure));
            QMessageBox::warning(this, windowTitle(), f.errorString() + "\n" + path);
            return;
        }
        m.attachments.push_back({QFileInfo(path).fileName().toStdString(), f.readAll().toStdString()});
    }
    onMailThread(
        [this, m]() -> std::string {
            const mail::SendResult r = smtp_->send(m);
            std::string out;
            for (const auto& refused : r.refused)
                out += refused + "\n";
            return r.sent ? out : out + r.reply;
        },
        [this](const QString& error) {
            if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error.trimmed());
        });
}

void SendMailWindow::verifyUser() {
    if (busy_ || running_ || !askToConnect()) return;
    const std::string name = verifyName_->text().trimmed().toStdString();
    auto verified = std::make_shared<bool>(false);
    auto reply = std::make_shared<std::string>();
    onMailThread(
        [this, name, verified, reply]() -> std::string {
            *verified = smtp_->verify(name, reply.get());
            return {};
        },
        [this, name, verified, reply](const QString& error) {
            if (!error.isEmpty()) {
                verifyResult_->setPlainText(error);
                return;
            }
            const QString who = QString::fromStdString(name);
            verifyResult_->setPlainText((*verified ? text(TVerified) : text(TNotVerified)).arg(who) + "\n" +
                                        QString::fromStdString(*reply));
        });
}

void SendMailWindow::expandList() {
    if (busy_ || running_ || !askToConnect()) return;
    const std::string name = verifyName_->text().trimmed().toStdString();
    auto members = std::make_shared<std::string>();
    onMailThread(
        [this, name, members]() -> std::string {
            *members = smtp_->expand(name);
            return {};
        },
        [this, members](const QString& error) {
            verifyResult_->setPlainText(error.isEmpty() ? QString::fromStdString(*members) : error);
        });
}

void SendMailWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run stops between clients; the window goes when it has.
        if (cancelRun_) cancelRun_();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SendMailWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        forms::openHelp(forms::ModuleStartup(link_).helpPath(), kHelpContext, link_.Language, this);
        return;
    }
    if (event->key() == Qt::Key_Escape && running_) {
        if (cancelRun_) cancelRun_();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vm::custstmt
