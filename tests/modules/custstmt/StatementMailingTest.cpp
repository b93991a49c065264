#include "modules/custstmt/core/StatementMailing.h"

#include "modules/custstmt/core/StatementLayout.h"

#include "tests/core/LocalSmtpServer.h"
#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

using namespace vm;
using namespace vm::custstmt;

namespace {

void needGui() { // the statements are written as PDF
    static int argc = 1;
    static char name[] = "vm_custstmt_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
}

// One run over a real server on 127.0.0.1: each client's outcome, what the
// server received, the delivery log, and no statement file left anywhere.
TEST(StatementMailing, EachClientsOutcomeIsRecorded) {
    needGui();

    test::TempCompany company;
    // The company's standard mailed layout.
    const test::Fields byMail{{"Cli_email_statement", true}};
    company.addClient("../D", "Dotty", {{"Cli_email_statement", true}, {"Cli_email", "d@client.test"}});
    company.addClient("A", "Anne",
                      {{"Cli_email_statement", true},
                       {"Cli_email", "a@client.test"},
                       {"Cli_contact", "Anne Hélène <x@evil.test>"}});
    company.addClient("B", "No address", byMail);
    company.addClient("C", "Paper", {{"Cli_email", "c@client.test"}});
    company.addClient("E", "Gone", {{"Cli_email_statement", true}, {"Cli_email", "nobody@client.test"}});

    test::LocalSmtpServer server({"--reject", "nobody@client.test"});
    ASSERT_GT(server.port(), 0);
    MailingSetup s;
    s.report.options.printDate = s.report.options.today = Date::fromYmd(2026, 6, 30);
    s.report.companyDir = company.companyDir();
    s.smtp.host = "127.0.0.1";
    s.smtp.port = server.port();
    s.smtp.timeoutSeconds = 5;
    s.fromName = "Acme";
    s.fromAddress = "ar@acme.test";
    s.subject = "Relevé de compte";
    s.message = "Bonjour,\nvotre relevé est joint.";
    s.printOthers = true;
    s.logPath = mailLogPath(company.companyDir());
    EXPECT_EQ(s.logPath, company.companyDir() + "/statements-mail.log");
    const MailingResult r = mailStatements(company.db(), s);

    ASSERT_EQ(r.records.size(), 5u);
    std::vector<std::pair<std::string, Delivery>> got;
    for (const auto& d : r.records)
        got.emplace_back(d.client, d.outcome);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, Delivery>>{{"../D", Delivery::Sent},
                                                                  {"A", Delivery::Sent},
                                                                  {"B", Delivery::NoAddress},
                                                                  {"C", Delivery::Printed},
                                                                  {"E", Delivery::Refused}}));
    EXPECT_NE(r.records[4].detail.find("550"), std::string::npos);
    EXPECT_EQ(r.failed, 2);
    EXPECT_EQ(r.toPrint, std::vector<std::string>{"C"});

    EXPECT_EQ(server.file("msg0.env"), "ar@acme.test\nd@client.test");
    EXPECT_EQ(server.file("msg1.env"), "ar@acme.test\na@client.test");
    EXPECT_EQ(server.file("msg2.env"), "<missing>"); // C never mailed, E refused
    EXPECT_EQ(server.file("msg1.subject"), "Relevé de compte");
    EXPECT_EQ(server.file("msg1.body"),
              "Anne\nAnne Hélène <x@evil.test>\n \nBonjour,\nvotre relevé est joint.");
    const std::string pdf = server.file("msg0.att0");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
    EXPECT_NE(server.file("msg0.eml").find("filename=\"stmt___D.pdf\""), std::string::npos);

    int logLines = 0;
    std::ifstream log(s.logPath);
    for (std::string line; std::getline(log, line);)
        ++logLines;
    EXPECT_EQ(logLines, 5);
    for (const auto& e : std::filesystem::recursive_directory_iterator(company.rootDir()))
        EXPECT_EQ(e.path().filename().string().rfind("stmt", 0), std::string::npos) << e.path();
}

// A server that hangs up in the middle of a message: each client's failure
// is recorded with the reason, and the run goes on to the next client.
TEST(StatementMailing, ConnectionLostMidMessageIsAFailure) {
    needGui();
    test::TempCompany company;
    company.addClient("A", "Anne", {{"Cli_email_statement", true}, {"Cli_email", "a@client.test"}});
    company.addClient("B", "Bob", {{"Cli_email_statement", true}, {"Cli_email", "b@client.test"}});
    test::LocalSmtpServer server({"--hangup"});
    ASSERT_GT(server.port(), 0);
    MailingSetup s;
    s.report.options.printDate = s.report.options.today = Date::fromYmd(2026, 6, 30);
    s.report.companyDir = company.companyDir();
    s.smtp.host = "127.0.0.1";
    s.smtp.port = server.port();
    s.smtp.timeoutSeconds = 2;
    s.fromAddress = "ar@acme.test";
    const MailingResult r = mailStatements(company.db(), s);
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(r.failed, 2);
    for (const auto& d : r.records) {
        EXPECT_EQ(d.outcome, Delivery::Failed) << d.client;
        EXPECT_FALSE(d.detail.empty());
    }
}

} // namespace

// A company on a database server has no folder there: its mailing log and
// the list naming its logo are kept in this workstation's folder for it,
// one per company, named without the address's password.
TEST(StatementMailing, ACompanyOnAServerKeepsItsFilesOnTheWorkstation) {
    QTemporaryDir home;
    ::setenv("XDG_DATA_HOME", home.path().toLocal8Bit().constData(), 1);
    const std::string server = "postgresql://clerk:s3cret@/books?host=/run/pg&port=5433#";
    const std::filesystem::path log = mailLogPath(server + "data1");
    EXPECT_EQ(log.filename(), "statements-mail.log");
    EXPECT_TRUE(std::filesystem::is_directory(log.parent_path())) << log;
    EXPECT_EQ(log.string().rfind(home.path().toStdString(), 0), 0u) << log;
    EXPECT_EQ(log.string().find("s3cret"), std::string::npos) << log;
    EXPECT_NE(log, std::filesystem::path(mailLogPath(server + "data2")));
    std::ofstream(log.parent_path() / "arecfrmI.dat") << "logo.png,1\n";
    EXPECT_EQ(logoPath(server + "data1"), (log.parent_path() / "logo.png").string());
    ::unsetenv("XDG_DATA_HOME");
}
