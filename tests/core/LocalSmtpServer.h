#pragma once
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

namespace vm::test {

// A real SMTP server (aiosmtpd, tests/core/smtp_server.py) on 127.0.0.1 on a
// free port, started for one test and stopped after it; port() is 0 when it
// did not start. file() reads what it kept of the messages received.
class LocalSmtpServer {
public:
    explicit LocalSmtpServer(const QStringList& extra) {
        proc_.setProgram("/usr/bin/python3");
        proc_.setArguments(
            QStringList{QStringLiteral(VM_SOURCE_DIR "/tests/core/smtp_server.py"), dir_.path()} + extra);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start();
        QElapsedTimer t;
        t.start();
        while (!proc_.canReadLine() && t.elapsed() < 20000)
            proc_.waitForReadyRead(200);
        const QString line = QString::fromUtf8(proc_.readLine()).trimmed();
        if (line.startsWith("READY ")) port_ = line.mid(6).toInt();
    }
    ~LocalSmtpServer() {
        proc_.closeWriteChannel();
        if (!proc_.waitForFinished(5000)) {
            proc_.kill();
            proc_.waitForFinished(2000);
        }
    }
    int port() const { return port_; }
    std::string file(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
    }

private:
    QTemporaryDir dir_;
    QProcess proc_;
    int port_ = 0;
};

} // namespace vm::test
