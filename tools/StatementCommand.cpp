// valmorand-admin statements: the clients' account statements of the
// statements window, laid out by the same code and written page by page as
// PDF, CSV or text.
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/ModuleStartup.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Money.h"
#include "engine/Session.h"
#include "modules/custstmt/core/StatementMailing.h"
#include "report/ReportExporter.h"
#include "tools/BatchCommand.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace vm::admin {
namespace {

const char* const kHelp = "usage: valmorand-admin statements DIR N --output FILE [options]\n"
                          "\n"
                          "Writes the account statements of the clients of company N, as the \"Account\n"
                          "statements\" window exports them. The format follows the file's extension:\n"
                          ".pdf, .csv or .txt. --mail mails them instead to the clients who take their\n"
                          "statements by e-mail, with the e-mail layout and the e-mail settings of this\n"
                          "workstation (the password must be kept there); each delivery is logged in\n"
                          "the company's statements-mail.log.\n"
                          "\n"
                          "Options (the window's choices):\n"
                          "  --date YYYY-MM-DD      date of the statements (default: today)\n"
                          "  --from CODE, --to CODE range of client codes\n"
                          "  --territory CODE       one territory only\n"
                          "  --minimum AMOUNT       only clients whose balance is at least AMOUNT\n"
                          "  --interest RATE        overdue interest, percent per year (default: none)\n"
                          "  --currency N           only the clients in currency N (0 = the company's own,\n"
                          "                         1-4 = the currencies named in the company's settings)\n"
                          "  --convert N            convert amounts to currency N\n"
                          "  --subsequent           include transactions after the date\n"
                          "  --language en|fr       language of the statements (default: en)\n"
                          "\n"
                          "Exit status: 0 written or all mailed, 1 failed (or a statement not mailed), 2 "
                          "refused (bad arguments, no such company).\n";

report::ReportExporter::Format formatOf(const std::string& output) {
    const std::string ext = std::filesystem::path(output).extension().string();
    if (ext == ".pdf") return report::ReportExporter::Format::Pdf;
    if (ext == ".csv") return report::ReportExporter::Format::Csv;
    if (ext == ".txt") return report::ReportExporter::Format::Text;
    throw BatchRefused{"the output file must end in .pdf, .csv or .txt: " + output};
}

// Mails the selection's statements as the window's e-mail button does, with
// the workstation's e-mail settings; nothing is asked.
int mailAll(const BatchCommand& c, Database& db, const custstmt::StatementReportSetup& s) {
    using namespace custstmt;
    if (Cursor(db, "Earecfrm", true).isEmpty())
        throw BatchRefused{"the e-mail statement layout is missing: create it before mailing statements"};
    MailingSetup m;
    m.report = s;
    m.report.email = true;
    // The minimum balance only narrows a mailing when it is above zero.
    if (m.report.options.minimumBalance && *m.report.options.minimumBalance <= Money())
        m.report.options.minimumBalance.reset();
    const core::SettingsStore settings;
    if (!readMailSettings(settings, m))
        throw BatchRefused{"the e-mail settings (sender, server, return address) are missing"};
    if (!m.smtp.login.empty() && m.smtp.password.empty())
        throw BatchRefused{"the e-mail password of " + m.smtp.login + " is not kept in the settings"};
    m.subject = settings.read("Settings", "Email Stmt Subject");
    m.message = settings.read("Settings", "Email Stmt Message");
    m.mailer = "Valmorand " + forms::ModuleStartup::projectVersion().toStdString();
    m.logPath = mailLogPath(s.companyDir);
    ProgressLine line;
    const MailingResult r = mailStatements(db, m, [&](const DeliveryRecord& d) {
        line.show("Statements: " + d.client + " " + deliveryName(d.outcome));
    });
    line.clear();
    for (const DeliveryRecord& d : r.records)
        if (d.outcome != Delivery::Sent)
            std::cerr << d.client << ": " << deliveryName(d.outcome) << " " << mail::foldToLine(d.detail)
                      << "\n";
    std::cout << "Statements of company " << c.company() << ": "
              << r.records.size() - static_cast<std::size_t>(r.failed) << " of " << r.records.size()
              << " mailed\n";
    return r.failed > 0 ? kExitFailed : kExitDone;
}

} // namespace

int statementsCommand(const std::vector<std::string>& args) {
    using namespace custstmt;
    BatchCommand cmd("statements", kHelp,
                     {{"output", true},
                      {"date", true, true},
                      {"from", true},
                      {"to", true},
                      {"territory", true},
                      {"minimum", true},
                      {"interest", true},
                      {"currency", true},
                      {"convert", true},
                      {"subsequent"},
                      {"language", true},
                      {"mail"}});
    return cmd.run(args, [](BatchCommand& c) {
        c.refuseTogether("mail", "output");
        const bool mailing = c.flag("mail");
        const std::string output = c.value("output").value_or("");
        if (output.empty() && !mailing)
            throw BatchRefused{"--output FILE.pdf|.csv|.txt or --mail is required"};
        const report::ReportExporter::Format format =
            mailing ? report::ReportExporter::Format::Pdf : formatOf(output);
        const std::string language = c.value("language").value_or("en");
        if (language != "en" && language != "fr") throw BatchRefused{"--language must be en or fr"};

        StatementReportSetup s;
        StatementOptions& o = s.options;
        o.today = Date::today();
        o.printDate = c.date("date").value_or(o.today);
        o.fromCode = c.value("from").value_or("");
        o.toCode = c.value("to").value_or("");
        if (!o.toCode.empty() && o.fromCode > o.toCode)
            throw BatchRefused{"--from " + o.fromCode + " sorts after --to " + o.toCode};
        o.territory = c.value("territory").value_or("");
        o.includeSubsequent = c.flag("subsequent");
        if (auto m = c.value("minimum")) {
            auto amount = Money::parse(*m);
            if (!amount) throw BatchRefused{"--minimum must be an amount: " + *m};
            o.minimumBalance = *amount;
        }
        if (auto rate = c.value("interest")) {
            char* end = nullptr;
            o.interestRate = std::strtod(rate->c_str(), &end);
            if (rate->empty() || *end != '\0' || o.interestRate < 0 || o.interestRate > 100)
                throw BatchRefused{"--interest must be a rate from 0 to 100: " + *rate};
        }
        o.printCurrency = c.number("currency", 0, 4).value_or(-1);
        o.convertTo = c.number("convert", 0, 4).value_or(-1);
        s.language = language == "en" ? 1 : 2;

        const std::string dataDir = c.dataDir();
        s.companyDir = c.companyDir();
        {
            Session session;
            s.company = readCompanyBlock(session.database(dataDir), c.company());
        }

        // The statements are laid out with Qt's painting, which needs an
        // application object but no display.
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "valmorand-admin";
        static char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        core::RegionalSettings::loadCurrent(core::SettingsStore());
        s.localSign = core::RegionalSettings::current().currencySymbol;

        Session session;
        Database& db = session.database(s.companyDir);
        {
            // Only currencies the company names can be chosen, as in the window.
            StatementRun run(db, o);
            for (const char* opt : {"convert", "currency"}) {
                const int n = opt[1] == 'o' ? o.convertTo : o.printCurrency;
                if (n > 0 && run.control().currencyNames[static_cast<std::size_t>(n - 1)].empty())
                    throw BatchRefused{std::string("--") + opt + " " + std::to_string(n) +
                                       ": the company has no currency " + std::to_string(n)};
            }
        }
        if (mailing) return mailAll(c, db, s);
        ProgressLine line;
        // Page by page: ten thousand clients never sit in memory as a document.
        std::unique_ptr<report::PageStream> pages = statementStream([&db]() -> Database& { return db; }, s)();
        std::string error;
        const report::WriteOutcome outcome =
            report::ReportExporter::write(*pages, format, output, &error, [&](int done) {
                line.show("Statements: " + std::to_string(done) + " pages");
                return true;
            });
        line.clear();
        if (outcome != report::WriteOutcome::Written) {
            std::cerr << "valmorand-admin statements: " << output << ": " << error << "\n";
            return kExitFailed;
        }
        std::cout << "Statements of company " << c.company() << " written to " << output << " ("
                  << pages->pagesDone() << " pages)\n";
        return kExitDone;
    });
}

} // namespace vm::admin
