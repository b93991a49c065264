#include "modules/custstmt/ui/StatementWindow.h"

#include "common/core/LinkStringQt.h"
#include "common/core/SettingsStore.h"
#include "modules/custstmt/ui/SendMailWindow.h"
#include "tests/core/LocalSmtpServer.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace vm;
using namespace vm::custstmt;

namespace {

class StatementWindowTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_custstmt_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        company.setCtrl({{"Ctrl_curr1_name", "US Dollar"}});
        link.CompanyCode = core::LinkString("1");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.PrinterIndex = core::LinkString("0");
    }
    core::TLinkSection link{};
};

// Both languages' texts; a rate that is not a number stops everything and
// takes the focus. VM_CUSTSTMT_PNG=<dir> keeps a picture of the window.
TEST_F(StatementWindowTest, TextsAndTheRateCheck) {
    for (int lang : {1, 2}) {
        link.Language = lang;
        link.LangCode.set(lang == 1 ? "en" : "fr");
        StatementWindow w(link);
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.windowTitle(), lang == 1 ? "Account statements" : "Relevés de compte");
        if (const char* dir = std::getenv("VM_CUSTSTMT_PNG"))
            w.grab().save(QString("%1/statements-%2.png").arg(dir).arg(lang));
        auto* rate = w.findChild<QLineEdit*>("EditRate");
        ASSERT_NE(rate, nullptr);
        EXPECT_TRUE(w.options().has_value());
        rate->setText("12%");
        EXPECT_FALSE(w.options().has_value());
        EXPECT_TRUE(rate->hasFocus() || !w.isActiveWindow());
    }
}

void waitWhileBusy(const SendMailWindow& w) {
    QElapsedTimer t;
    t.start();
    while (w.busy() && t.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The "Send Mail" window alone, in both languages, over a real server: it
// connects, sends the message of its second page, verifies a user and
// disconnects, its status line following each step. VM_CUSTSTMT_PNG=<dir>
// keeps a picture of each page.
TEST_F(StatementWindowTest, SendMailWindowOnItsOwn) {
    test::LocalSmtpServer server({});
    ASSERT_GT(server.port(), 0);
    for (int lang : {1, 2}) {
        link.Language = lang;
        link.LangCode.set(lang == 1 ? "en" : "fr");
        SendMailWindow w(link);
        w.show();
        EXPECT_EQ(w.windowTitle(), lang == 1 ? "Send Mail" : "Envoi de courriel");
        mail::SmtpSettings s;
        s.host = "127.0.0.1";
        s.port = server.port();
        s.timeoutSeconds = 10;
        w.setConnection(s, "Acme", "ar@acme.test");
        w.connectToServer();
        waitWhileBusy(w);
        EXPECT_EQ(w.statusText(), w.text(0)); // "Connected"

        w.findChild<QLineEdit*>("EditTo")->setText("anne@client.test");
        w.findChild<QLineEdit*>("EditSubject")->setText(lang == 1 ? "Hello" : "Bonjour");
        w.findChild<QPlainTextEdit*>("MemoBody")->setPlainText("Été");
        w.sendComposed();
        waitWhileBusy(w);
        EXPECT_EQ(w.statusText(), w.text(4)); // "Success"
        EXPECT_EQ(server.file(lang == 1 ? "msg0.subject" : "msg1.subject"), lang == 1 ? "Hello" : "Bonjour");

        w.findChild<QLineEdit*>("EditVerify")->setText("anne");
        w.verifyUser();
        waitWhileBusy(w);
        // aiosmtpd neither confirms nor denies (252).
        EXPECT_TRUE(
            w.findChild<QPlainTextEdit*>("MemoVerify")->toPlainText().startsWith(w.text(15).arg("anne")));
        if (const char* dir = std::getenv("VM_CUSTSTMT_PNG")) {
            auto* tabs = w.findChild<QTabWidget*>("PageControl1");
            for (int page = 0; page < 3; ++page) {
                tabs->setCurrentIndex(page);
                QApplication::processEvents();
                w.grab().save(QString("%1/sendmail-%2-%3.png").arg(dir).arg(lang).arg(page));
            }
        }
        w.disconnectFromServer();
        waitWhileBusy(w);
        EXPECT_EQ(w.statusText(), w.text(1)); // "Disconnected"
    }
}

// A statement run drives the "Send Mail" window and the summary counts what
// became of each client. On a server that never answers, Cancel on the
// "Sending Mail..." box ends the run at once; the windows answer meanwhile.
TEST_F(StatementWindowTest, MailingRunShowsItsStepsAndCanBeCancelled) {
    const std::string settings = company.rootDir() + "/settings.ini";
    ::setenv("VALMORAND_SETTINGS", settings.c_str(), 1);
    company.addClient("A", "Anne", {{"Cli_email_statement", true}, {"Cli_email", "a@client.test"}});
    company.addClient("E", "Gone", {{"Cli_email_statement", true}, {"Cli_email", "nobody@client.test"}});
    link.Language = 2;
    link.LangCode.set("fr");
    for (bool silent : {false, true}) {
        test::LocalSmtpServer server(silent ? QStringList{"--silent"}
                                            : QStringList{"--reject", "nobody@client.test"});
        ASSERT_GT(server.port(), 0);
        const core::SettingsStore store;
        store.write("Settings", "Email Host", "127.0.0.1");
        store.write("Settings", "Email Port", std::to_string(server.port()));
        store.write("Settings", "Email User", "Acme");
        store.write("Settings", "Email Return", "ar@acme.test");
        store.write("Settings", "Email Timeout", "20");
        StatementWindow w(link);
        w.show();
        QApplication::processEvents();
        int ticks = 0;
        QTimer tick;
        tick.callOnTimeout([&] {
            ++ticks;
            auto* box = w.findChild<QProgressDialog*>("SendingMail");
            if (silent && ticks == 10 && box) box->findChild<QPushButton*>()->click(); // Cancel
            if (const char* dir = std::getenv("VM_CUSTSTMT_PNG"); dir && !silent && box)
                if (auto* mailWindow = w.findChild<SendMailWindow*>())
                    mailWindow->grab().save(QString("%1/sendmail-run.png").arg(dir));
        });
        tick.start(30);
        QElapsedTimer t;
        t.start();
        const MailingResult r = w.mail(false);
        tick.stop();
        if (silent) {
            EXPECT_TRUE(r.cancelled);
            EXPECT_LT(t.elapsed(), 10000);
            EXPECT_GE(ticks, 10);
            continue;
        }
        ASSERT_EQ(r.records.size(), 2u);
        EXPECT_EQ(r.records[0].outcome, Delivery::Sent);
        EXPECT_EQ(r.records[1].outcome, Delivery::Refused);
        EXPECT_EQ(w.lastMailStatus(), "Déconnecté");
        const QString summary = w.mailSummary(r);
        EXPECT_TRUE(summary.contains(QString::fromUtf8("Envoyés\u00a0: 1"))) << summary.toStdString();
        EXPECT_TRUE(summary.contains(QString::fromUtf8("E\u00a0: refusé"))) << summary.toStdString();
    }
}

} // namespace
