#include "common/core/MailMessage.h"
#include "common/core/SmtpClient.h"
#include "tests/core/LocalSmtpServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace vm::mail;

namespace {

std::vector<std::string> linesOf(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0, nl;
    while ((nl = s.find("\r\n", start)) != std::string::npos) {
        out.push_back(s.substr(start, nl - start));
        start = nl + 2;
    }
    return out;
}

TEST(MailMessage, HeadersBodyAndAttachmentLayout) {
    MailMessage m;
    m.fromName = "Acme";
    m.fromAddress = "ar@acme.test";
    m.to = {"a@x.test", "Bob <b@x.test>"};
    m.body = "Hello\n.\nBye";
    std::string att(100, '\x7f');
    m.attachments.push_back({"../../etc/stmt1.pdf", att});
    const auto l = linesOf(buildMessage(m, false, "BOUND"));
    EXPECT_EQ(l[0], "From: Acme<ar@acme.test>");
    EXPECT_EQ(l[1], "To: a@x.test,Bob <b@x.test>");
    EXPECT_EQ(l[2], "Mime-Version: 1.0"); // an empty subject gives no Subject line
    EXPECT_NE(std::find(l.begin(), l.end(), ".."), l.end());
    auto name = std::find(l.begin(), l.end(), "Content-Disposition: attachment; filename=\"stmt1.pdf\"");
    ASSERT_NE(name, l.end());
    ASSERT_GT(l.end() - name, 5);
    EXPECT_EQ(name[2].size(), 60u);
    EXPECT_EQ(name[3].size(), 60u);
    EXPECT_EQ(name[4].size(), 16u);
    EXPECT_EQ(name[4].substr(14), "==");
    EXPECT_EQ(name[5], "--BOUND--");
    EXPECT_EQ(makeBoundary().size(), 35u);
}

TEST(MailMessage, UserTextNeverMakesAHeaderLine) {
    MailMessage m;
    m.fromName = "Acme\r\nBcc: evil@x.test";
    m.fromAddress = "ar@acme.test";
    m.to = {"a@x.test"};
    m.subject = "Statement\r\nBcc: evil@x.test";
    for (const auto& line : linesOf(buildMessage(m, false)))
        EXPECT_NE(line.rfind("Bcc:", 0), 0u) << line;
    EXPECT_EQ(encodeHeaderText("Relevé de compte"), "=?UTF-8?B?UmVsZXbDqSBkZSBjb21wdGU=?=");
    EXPECT_FALSE(addressProblem("a@x.test\r\nRCPT TO:<b@x.test>").empty());
}

class SmtpTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_mail_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }
    static SmtpSettings local(int port) {
        SmtpSettings s;
        s.host = "127.0.0.1";
        s.port = port;
        s.timeoutSeconds = 5;
        return s;
    }
    static MailMessage statement() {
        MailMessage m;
        m.fromName = "Société Acme";
        m.fromAddress = "ar@acme.test";
        m.to = {"Hélène <helene@client.test>", "nobody@client.test", "second@client.test"};
        m.subject = "Relevé de compte";
        m.body = "Veuillez trouver ci-joint votre relevé.\n.\nMerci";
        std::string pdf = "%PDF-1.4\n";
        for (int i = 0; i < 300; ++i)
            pdf += static_cast<char>(i % 256);
        m.attachments.push_back({"stmt1.pdf", pdf});
        return m;
    }
};

TEST_F(SmtpTest, PlainServerReceivesTheMessageIntact) {
    vm::test::LocalSmtpServer server({"--reject", "nobody@client.test"});
    ASSERT_GT(server.port(), 0);
    SmtpClient c(local(server.port()));
    c.connect();
    const MailMessage m = statement();
    const SendResult r = c.send(m);
    c.disconnect();
    EXPECT_TRUE(r.sent) << r.reply;
    ASSERT_EQ(r.refused.size(), 1u);
    EXPECT_NE(r.refused[0].find("550"), std::string::npos);
    EXPECT_EQ(server.file("msg0.env"), "ar@acme.test\nhelene@client.test\nsecond@client.test");
    EXPECT_EQ(server.file("msg0.subject"), "Relevé de compte");
    EXPECT_EQ(server.file("msg0.body"), "Veuillez trouver ci-joint votre relevé.\n.\nMerci");
    EXPECT_EQ(server.file("msg0.att0"), m.attachments[0].data);
}

TEST_F(SmtpTest, StartTlsWithLoginAndNoClearTextWhenRequired) {
    QTemporaryDir certDir;
    const QString cert = certDir.filePath("cert.pem"), key = certDir.filePath("key.pem");
    QProcess openssl;
    openssl.setStandardErrorFile(QProcess::nullDevice());
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                   "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    ASSERT_TRUE(openssl.waitForFinished(60000));
    ASSERT_EQ(openssl.exitCode(), 0);
    {
        vm::test::LocalSmtpServer server({"--cert", cert, "--key", key, "--auth", "clerk:s3cret"});
        ASSERT_GT(server.port(), 0);
        SmtpSettings s = local(server.port());
        s.security = Security::StartTls;
        s.caFile = cert.toStdString();
        s.login = "clerk";
        s.password = "s3cret";
        SmtpClient c(s);
        c.connect();
        EXPECT_TRUE(c.encrypted());
        EXPECT_TRUE(c.send(statement()).sent);
        c.disconnect();
        EXPECT_EQ(server.file("msg0.subject"), "Relevé de compte");

        s.caFile.clear(); // a certificate nobody vouches for
        SmtpClient untrusted(s);
        try {
            untrusted.connect();
            ADD_FAILURE() << "an unverified certificate was accepted";
        } catch (const SmtpError& e) {
            EXPECT_NE(std::string(e.what()).find("could not be verified"), std::string::npos) << e.what();
        }
    }
    vm::test::LocalSmtpServer plain({});
    SmtpSettings s = local(plain.port());
    s.security = Security::StartTls;
    SmtpClient c(s);
    EXPECT_THROW(c.connect(), SmtpError);
}

TEST_F(SmtpTest, SilentServerTimesOut) {
    vm::test::LocalSmtpServer server({"--silent"});
    ASSERT_GT(server.port(), 0);
    SmtpSettings s = local(server.port());
    s.timeoutSeconds = 1;
    SmtpClient c(s);
    QElapsedTimer t;
    t.start();
    EXPECT_THROW(c.connect(), SmtpError);
    EXPECT_LT(t.elapsed(), 4000);
}

} // namespace
