// Statements of a large company streamed to one PDF, and statements mailed to a local
// SMTP server (aiosmtpd on 127.0.0.1): time, pages or messages per second and
// peak memory.
//   vm_bench_statements [clients] [invoices] [mailed]
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/custstmt/core/StatementMailing.h"
#include "report/ReportExporter.h"
#include "schema/Schema.h"
#include "tools/DemoCompany.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
// Processor time of this process (user + system): what a run costs on a
// machine shared with other work, where the wall time says little.
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}
} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known, even into a log
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int invoices = argc > 2 ? std::atoi(argv[2]) : 620000;
    const int mailed = argc > 3 ? std::atoi(argv[3]) : 1000;

    QTemporaryDir root;
    const std::string dataDir = schema::dataDirOf(root.path().toStdString());
    auto t = Clock::now();
    schema::createDataRoot(dataDir, schema::standardUsers());
    admin::DemoOptions demo;
    demo.clients = clients;
    demo.suppliers = 20;
    demo.invoices = invoices;
    admin::buildDemoCompany(dataDir, demo);
    std::printf("demo company: %d clients, %d invoices built in %.1f s\n", clients, invoices, seconds(t));

    Session session;
    const std::string companyDir = schema::companyDirOf(dataDir, 1);
    Database& db = session.database(companyDir);
    // The statements print on the company's standard layouts, printed and mailed.
    {
        Query n(db, "SELECT COUNT(*) FROM car");
        n.next();
        std::printf("car rows: %lld\n", static_cast<long long>(n.value(0).asInt()));
    }

    custstmt::StatementReportSetup s;
    s.options.today = s.options.printDate = Date::today();
    s.companyDir = companyDir;
    s.company.name = "Bench Co";
    t = Clock::now();
    double cpu = cpuSeconds();
    const std::string pdf = root.filePath("statements.pdf").toStdString();
    // Laid out page by page as the PDF is written, as the window and the
    // batch command do.
    std::unique_ptr<report::PageStream> pages =
        custstmt::statementStream([&db]() -> Database& { return db; }, s)();
    report::ReportExporter::write(*pages, report::ReportExporter::Format::Pdf, pdf);
    const double written = seconds(t);
    cpu = cpuSeconds() - cpu;
    std::printf("statements: %d pages laid out and written to PDF in %.1f s (%.0f pages/s; processor %.1f s, "
                "%.0f pages/s), %.1f MB; peak memory %ld MB\n",
                pages->pagesDone(), written, pages->pagesDone() / written, cpu, pages->pagesDone() / cpu,
                std::filesystem::file_size(pdf) / 1e6, peakKb() / 1024);
    pages.reset();

    if (mailed <= 0) return 0;
    QProcess server;
    server.start("/usr/bin/python3", {VM_SOURCE_DIR "/tests/core/smtp_server.py", root.path()});
    for (int i = 0; i < 300 && !server.canReadLine() && server.state() != QProcess::NotRunning; ++i)
        server.waitForReadyRead(200);
    const QString ready = QString::fromUtf8(server.readLine()).trimmed();
    if (!ready.startsWith("READY ")) {
        std::printf("no local SMTP server (python3-aiosmtpd): mailing not measured\n");
        return 0;
    }
    {
        Cursor c(db, "cli");
        int n = 0;
        for (bool ok = c.first(); ok && n < mailed; ok = c.next(), ++n) {
            c.edit();
            c.set("Cli_email_statement", true);
            c.set("Cli_email", "client" + std::to_string(n) + "@bench.test");
            c.post();
        }
        c.first();
        for (int i = 1; i < mailed; ++i)
            c.next();
        s.options.toCode = c.str("Cli_code");
    }
    custstmt::MailingSetup m;
    m.report = s;
    m.smtp.host = "127.0.0.1";
    m.smtp.port = ready.mid(6).toInt();
    m.fromName = "Bench Co";
    m.fromAddress = "ar@bench.test";
    m.subject = "Relevé de compte";
    m.message = "Votre relevé est joint.";
    t = Clock::now();
    cpu = cpuSeconds();
    const custstmt::MailingResult r = custstmt::mailStatements(db, m);
    const double mailTime = seconds(t);
    cpu = cpuSeconds() - cpu;
    std::printf("mailing: %zu statements (%d failed) in %.1f s (%.1f messages/s; processor %.1f s here, the "
                "server apart); peak memory %ld MB\n",
                r.records.size(), r.failed, mailTime, r.records.size() / mailTime, cpu, peakKb() / 1024);
    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
