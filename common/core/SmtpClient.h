#pragma once
#include "common/core/MailMessage.h"

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm::mail {

enum class Security {
    None,     // clear text, but STARTTLS is used when the server offers it
    StartTls, // STARTTLS required: never sends in clear text
    Tls,      // TLS from the first byte (port 465)
};

struct SmtpSettings {
    std::string host;
    int port = 25;
    Security security = Security::None;
    std::string heloName = "localhost"; // the name given in EHLO/HELO
    std::string login, password;        // AUTH when the login is not empty
    std::string caFile;                 // an extra certificate (PEM) to trust
    int timeoutSeconds = 30;            // connecting and every reply
};

// Parses "none" / "starttls" / "tls" (any case); None for anything else.
Security securityFromText(const std::string& text);

// A failure of the conversation: what was being done and the server's reply
// (empty when there was none).
class SmtpError : public std::runtime_error {
public:
    SmtpError(const std::string& what, std::string reply = {}, int code = 0)
        : std::runtime_error(what), reply_(std::move(reply)), code_(code) {}
    const std::string& reply() const { return reply_; }
    int code() const { return code_; }

private:
    std::string reply_;
    int code_;
};

// The outcome of one message.
struct SendResult {
    bool sent = false;
    std::string reply;                // the server's last reply
    std::vector<std::string> refused; // recipients the server would not take, with its reply
};

// What the client is doing, for a status line; `file` names the attachment
// being encoded, `done` and `total` count the bytes of a message sent.
enum class SmtpEvent {
    HostResolved,
    Connected,
    Sending,
    Encoding,
    Encoded,
    Progress,
    Success,
    Failure,
    Disconnected
};
struct SmtpStatus {
    SmtpEvent event = SmtpEvent::Connected;
    std::string file;
    long long done = 0, total = 0;
};
// Called on the thread the client runs on.
using SmtpObserver = std::function<void(const SmtpStatus&)>;

// A blocking SMTP client: every wait ends at the time-out or when `cancel`
// is set (checked several times a second), so it runs off the user
// interface's thread. One connection carries any number of messages.
class SmtpClient {
public:
    explicit SmtpClient(SmtpSettings settings, const std::atomic<bool>* cancel = nullptr);
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    // Connects, greets, secures and authenticates as the settings ask. Throws SmtpError.
    void connect();
    bool connected() const;
    bool encrypted() const;
    // Sends one message. A refused recipient is noted and the others still
    // get it; the message is refused (sent == false, with the reply) when no
    // recipient is taken or the server refuses the sender or the data.
    // Throws SmtpError when the connection fails.
    SendResult send(const MailMessage& message);
    // QUIT, then the socket is closed either way.
    void disconnect();
    // VRFY: whether the server knows the name (a reply below 252), with its reply.
    bool verify(const std::string& name, std::string* reply = nullptr);
    // EXPN: the members of a list as the server gives them; SmtpError when it
    // refuses (a reply of 400 or more).
    std::string expand(const std::string& name);
    // Told of each step from then on.
    void setObserver(SmtpObserver observer);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace vm::mail
