#include "common/core/SmtpClient.h"

#include <QElapsedTimer>
#include <QSslConfiguration>
#include <QSslSocket>

#include <algorithm>
#include <cctype>

namespace vm::mail {

Security securityFromText(const std::string& text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "starttls") return Security::StartTls;
    if (t == "tls" || t == "ssl") return Security::Tls;
    return Security::None;
}

namespace {

struct Reply {
    int code = 0;
    std::string text; // every line, joined by "\n"
    std::vector<std::string> lines;
};

std::string toBase64(const std::string& s) {
    return QByteArray::fromStdString(s).toBase64().toStdString();
}

} // namespace

struct SmtpClient::Impl {
    SmtpSettings s;
    const std::atomic<bool>* cancel = nullptr;
    QSslSocket sock;
    QByteArray buf;
    bool offersStartTls = false, offers8Bit = false;
    std::vector<std::string> authMechanisms;
    SmtpObserver observer;

    void tell(SmtpEvent e, const std::string& file = {}, long long done = 0, long long total = 0) const {
        if (observer) observer({e, file, done, total});
    }

    int timeoutMs() const { return std::max(1, s.timeoutSeconds) * 1000; }

    void checkCancel() const {
        if (cancel && cancel->load()) throw SmtpError("The run was cancelled.");
    }

    // Waits in short slices so that a cancel is seen at once. `step` waits
    // at most the given milliseconds and says whether the wait is over.
    template <class Step, class Done> void waitFor(Step step, Done done, const std::string& what) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            checkCancel();
            const qint64 left = timeoutMs() - t.elapsed();
            if (left <= 0)
                throw SmtpError("No answer from " + s.host + " within " + std::to_string(s.timeoutSeconds) +
                                " seconds while " + what + ".");
            step(static_cast<int>(std::min<qint64>(left, 200)));
            if (!done() && sock.state() == QAbstractSocket::UnconnectedState)
                throw SmtpError("The connection to " + s.host + " was closed while " + what + ": " +
                                sock.errorString().toStdString());
        }
    }

    std::string readLine(const std::string& what) {
        waitFor(
            [&](int ms) {
                if (sock.bytesAvailable() == 0) sock.waitForReadyRead(ms);
                buf += sock.readAll();
            },
            [&] { return buf.contains('\n'); }, what);
        const qsizetype nl = buf.indexOf('\n');
        std::string line = buf.left(nl).toStdString();
        buf.remove(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

    Reply readReply(const std::string& what) {
        Reply r;
        for (;;) {
            std::string line = readLine(what);
            r.lines.push_back(line);
            if (!r.text.empty()) r.text += "\n";
            r.text += line;
            const bool more = (line.size() >= 4 && line[3] == '-') || (!line.empty() && line[0] == ' ');
            if (!more) break;
        }
        const std::string& first = r.lines.front();
        std::size_t n = 0;
        while (n < first.size() && n < 10 && std::isdigit(static_cast<unsigned char>(first[n])))
            ++n;
        r.code = n ? std::stoi(first.substr(0, n)) : 0;
        return r;
    }

    void write(const std::string& data, const std::string& what) {
        if (sock.write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
            throw SmtpError("Could not send to " + s.host + " while " + what + ": " +
                            sock.errorString().toStdString());
        waitFor([&](int ms) { sock.waitForBytesWritten(ms); }, [&] { return sock.bytesToWrite() == 0; },
                what);
    }

    Reply command(const std::string& line, const std::string& what) {
        // A command is one line: a line break in it would start another.
        if (line.find_first_of("\r\n") != std::string::npos)
            throw SmtpError("A line break in \"" + what + "\" was refused.");
        write(line + "\r\n", what);
        return readReply(what);
    }

    void ehlo() {
        Reply r = command("EHLO " + s.heloName, "greeting the server");
        offersStartTls = offers8Bit = false;
        authMechanisms.clear();
        if (r.code >= 400) {
            r = command("HELO " + s.heloName, "greeting the server");
            if (r.code >= 300) throw SmtpError("The server refused the greeting.", r.text, r.code);
            return;
        }
        for (std::size_t i = 1; i < r.lines.size(); ++i) {
            std::string ext = r.lines[i].size() > 4 ? r.lines[i].substr(4) : std::string();
            for (char& c : ext)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (ext == "STARTTLS") offersStartTls = true;
            if (ext == "8BITMIME") offers8Bit = true;
            if (ext.rfind("AUTH", 0) == 0 && ext.size() > 4) {
                std::size_t p = 5;
                while (p < ext.size()) {
                    const std::size_t sp = ext.find(' ', p);
                    authMechanisms.push_back(
                        ext.substr(p, sp == std::string::npos ? std::string::npos : sp - p));
                    p = sp == std::string::npos ? ext.size() : sp + 1;
                }
            }
        }
    }

    void configureTls() {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        if (!s.caFile.empty()) {
            const auto certs = QSslCertificate::fromPath(QString::fromStdString(s.caFile), QSsl::Pem);
            if (certs.isEmpty())
                throw SmtpError("The certificate file " + s.caFile + " holds no certificate.");
            conf.addCaCertificates(certs);
        }
        conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
        sock.setSslConfiguration(conf);
        sock.setPeerVerifyName(QString::fromStdString(s.host));
    }

    void waitEncrypted() {
        try {
            waitFor([&](int ms) { sock.waitForEncrypted(ms); },
                    [&] { return sock.isEncrypted() || !sock.sslHandshakeErrors().isEmpty(); },
                    "securing the connection");
        } catch (const SmtpError&) {
            if (sock.sslHandshakeErrors().isEmpty()) throw;
        }
        if (!sock.isEncrypted()) {
            std::string why;
            for (const QSslError& e : sock.sslHandshakeErrors())
                why += (why.empty() ? "" : "; ") + e.errorString().toStdString();
            if (why.empty()) why = sock.errorString().toStdString();
            throw SmtpError("The certificate of " + s.host + " could not be verified: " + why);
        }
    }
};

SmtpClient::SmtpClient(SmtpSettings settings, const std::atomic<bool>* cancel)
    : d_(std::make_unique<Impl>()) {
    d_->s = std::move(settings);
    d_->cancel = cancel;
}

SmtpClient::~SmtpClient() {
    d_->sock.abort();
}

bool SmtpClient::connected() const {
    return d_->sock.state() == QAbstractSocket::ConnectedState;
}
bool SmtpClient::encrypted() const {
    return d_->sock.isEncrypted();
}

void SmtpClient::connect() {
    Impl& d = *d_;
    if (d.s.host.empty()) throw SmtpError("No mail server is set.");
    if (d.s.host.find_first_of("\r\n /") != std::string::npos)
        throw SmtpError("The mail server name is not valid.");
    const bool tlsWanted = d.s.security != Security::None;
    if (tlsWanted && !QSslSocket::supportsSsl()) throw SmtpError("This system offers no TLS support.");
    const auto host = QString::fromStdString(d.s.host);
    const auto port = static_cast<quint16>(d.s.port);
    if (d.s.security == Security::Tls) {
        d.configureTls();
        d.sock.connectToHostEncrypted(host, port);
        d.waitFor([&](int ms) { d.sock.waitForConnected(ms); },
                  [&] { return d.sock.state() == QAbstractSocket::ConnectedState; }, "connecting");
        d.waitEncrypted();
    } else {
        d.sock.connectToHost(host, port);
        d.waitFor([&](int ms) { d.sock.waitForConnected(ms); },
                  [&] { return d.sock.state() == QAbstractSocket::ConnectedState; }, "connecting");
    }
    d.tell(SmtpEvent::HostResolved);
    Reply r = d.readReply("waiting for the greeting");
    if (r.code != 220) throw SmtpError("The server did not accept the connection.", r.text, r.code);
    d.ehlo();
    if (!d.sock.isEncrypted() && d.offersStartTls && QSslSocket::supportsSsl()) {
        r = d.command("STARTTLS", "securing the connection");
        if (r.code != 220) throw SmtpError("The server refused STARTTLS.", r.text, r.code);
        d.configureTls();
        d.sock.startClientEncryption();
        d.waitEncrypted();
        d.ehlo();
    }
    if (!d.sock.isEncrypted() && d.s.security != Security::None)
        throw SmtpError("The server " + d.s.host +
                        " does not offer STARTTLS; nothing is sent in clear text.");
    if (!d.s.login.empty()) {
        if (!d.sock.isEncrypted())
            throw SmtpError("The connection is not encrypted: the password is not sent in clear text.");
        auto offers = [&](const char* m) {
            return std::find(d.authMechanisms.begin(), d.authMechanisms.end(), m) != d.authMechanisms.end();
        };
        if (offers("PLAIN") || !offers("LOGIN")) {
            r = d.command("AUTH PLAIN " + toBase64(std::string(1, '\0') + d.s.login + '\0' + d.s.password),
                          "logging in");
        } else {
            r = d.command("AUTH LOGIN", "logging in");
            if (r.code == 334) r = d.command(toBase64(d.s.login), "logging in");
            if (r.code == 334) r = d.command(toBase64(d.s.password), "logging in");
        }
        if (r.code != 235) throw SmtpError("The server refused the login.", r.text, r.code);
    }
    d.tell(SmtpEvent::Connected);
}

SendResult SmtpClient::send(const MailMessage& m) {
    Impl& d = *d_;
    SendResult res;
    if (!connected()) throw SmtpError("Not connected to the mail server.");
    if (const std::string p = addressProblem(m.fromAddress); !p.empty()) {
        res.reply = "Sender " + m.fromAddress + ": " + p;
        return res;
    }
    std::vector<std::string> rcpts;
    for (const auto* list : {&m.to, &m.cc, &m.bcc})
        for (const std::string& e : *list) {
            const std::string a = bareAddress(e);
            if (a.empty()) continue;
            if (const std::string p = addressProblem(a);
                !p.empty() || e.find_first_of("\r\n") != std::string::npos) {
                res.reply = "Recipient " + foldToLine(e) + ": " + (p.empty() ? "line break in the entry" : p);
                return res;
            }
            rcpts.push_back(a);
        }
    if (rcpts.empty()) {
        res.reply = "No recipient address.";
        return res;
    }
    d.tell(SmtpEvent::Sending);
    for (const MailAttachment& a : m.attachments)
        d.tell(SmtpEvent::Encoding, a.fileName);
    const std::string data = buildMessage(m, d.offers8Bit);
    for (const MailAttachment& a : m.attachments)
        d.tell(SmtpEvent::Encoded, a.fileName);
    Reply r = d.command("RSET", "starting the message");
    if (r.code >= 400) {
        res.reply = r.text;
        return res;
    }
    r = d.command("MAIL FROM:<" + m.fromAddress + ">" + (d.offers8Bit ? " BODY=8BITMIME" : ""),
                  "giving the sender");
    if (r.code >= 400) {
        res.reply = r.text;
        return res;
    }
    int taken = 0;
    for (const std::string& a : rcpts) {
        r = d.command("RCPT TO:<" + a + ">", "giving the recipients");
        if (r.code >= 300)
            res.refused.push_back(a + ": " + r.text);
        else
            ++taken;
    }
    if (taken == 0) {
        res.reply = r.text;
        d.command("RSET", "abandoning the message");
        return res;
    }
    r = d.command("DATA", "starting the message");
    if (r.code >= 400) {
        res.reply = r.text;
        return res;
    }
    // In slices, so that the bytes sent can be shown as they go.
    const std::string all = data + ".\r\n";
    constexpr std::size_t kSlice = 64 * 1024;
    for (std::size_t at = 0; at < all.size(); at += kSlice) {
        d.write(all.substr(at, kSlice), "sending the message");
        d.tell(SmtpEvent::Progress, {}, static_cast<long long>(std::min(all.size(), at + kSlice)),
               static_cast<long long>(all.size()));
    }
    r = d.readReply("waiting for the message's acceptance");
    res.reply = r.text;
    res.sent = r.code > 0 && r.code < 400;
    d.tell(res.sent ? SmtpEvent::Success : SmtpEvent::Failure);
    return res;
}

void SmtpClient::disconnect() {
    Impl& d = *d_;
    if (connected()) {
        try {
            d.command("QUIT", "closing the connection");
        } catch (const SmtpError&) {
            // The socket is closed either way.
        }
    }
    d.sock.abort();
    d.tell(SmtpEvent::Disconnected);
}

bool SmtpClient::verify(const std::string& name, std::string* reply) {
    if (!connected()) throw SmtpError("Not connected to the mail server.");
    const Reply r = d_->command("VRFY " + name, "verifying a user");
    if (reply) *reply = r.text;
    return r.code > 0 && r.code < 252;
}

std::string SmtpClient::expand(const std::string& name) {
    if (!connected()) throw SmtpError("Not connected to the mail server.");
    const Reply r = d_->command("EXPN " + name, "expanding a list");
    if (r.code >= 400 || r.code == 0)
        throw SmtpError("The server would not expand the list.", r.text, r.code);
    return r.text;
}

void SmtpClient::setObserver(SmtpObserver observer) {
    d_->observer = std::move(observer);
}

} // namespace vm::mail
