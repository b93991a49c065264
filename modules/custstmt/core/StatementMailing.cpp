#include "modules/custstmt/core/StatementMailing.h"

#include "common/core/LocalFiles.h"
#include "engine/Date.h"
#include "report/PdfExporter.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace vm::custstmt {

const char* deliveryName(Delivery d) {
    switch (d) {
    case Delivery::Sent:
        return "sent";
    case Delivery::Refused:
        return "refused";
    case Delivery::NoAddress:
        return "no address";
    case Delivery::Printed:
        return "printed instead";
    case Delivery::ExportFailed:
        return "failed to export";
    case Delivery::Failed:
        return "failed";
    }
    return "";
}

bool readMailSettings(const core::SettingsStore& settings, MailingSetup& m) {
    auto setting = [&](const char* name, const char* def = "") {
        return settings.read("Settings", name, def);
    };
    // A whole number or nothing: "25x" is not port 25.
    auto number = [&](const char* name, const char* def) {
        const std::string text = setting(name, def);
        if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        return std::stoi(text);
    };
    m.smtp.host = setting("Email Host");
    m.smtp.port = number("Email Port", "25");
    if (m.smtp.port <= 0) m.smtp.port = 25;
    m.smtp.security = mail::securityFromText(setting("Email Security"));
    if (m.smtp.security == mail::Security::Tls && setting("Email Port").empty()) m.smtp.port = 465;
    m.smtp.heloName = setting("Email User").empty() ? "localhost" : setting("Email User");
    if (m.smtp.heloName.find_first_of(" \r\n") != std::string::npos) m.smtp.heloName = "localhost";
    m.smtp.login = setting("Email Login");
    m.smtp.password = setting("Email Password");
    m.smtp.caFile = setting("Email CA File");
    const int timeout = number("Email Timeout", "30");
    m.smtp.timeoutSeconds = timeout > 0 ? timeout : 30;
    m.fromName = setting("Email User");
    m.fromAddress = setting("Email Return");
    return !m.fromName.empty() && !m.smtp.host.empty() && !m.fromAddress.empty();
}

std::string statementFileName(const std::string& code) {
    std::string clean;
    for (unsigned char c : code)
        clean += (std::isalnum(c) || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    return "stmt" + clean + ".pdf";
}

std::string mailLogPath(const std::string& companyDir) {
    return (std::filesystem::path(core::localFilesDir(companyDir)) / "statements-mail.log").string();
}

namespace {

std::optional<std::string> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void appendLog(const std::string& path, const DeliveryRecord& r) {
    if (path.empty()) return;
    std::ofstream out(path, std::ios::app);
    out << DateTime::now().toIso() << '\t' << r.client << '\t' << r.address << '\t' << deliveryName(r.outcome)
        << '\t' << mail::foldToLine(r.detail) << '\n';
}

} // namespace

MailingResult mailStatements(Database& company, const MailingSetup& setup,
                             const std::function<void(const DeliveryRecord&)>& progress) {
    MailingResult result;
    QTemporaryDir runDir; // this run's own: two workstations never share a file
    std::optional<mail::SmtpClient> smtp;

    auto record = [&](DeliveryRecord r) {
        if (r.outcome != Delivery::Sent && r.outcome != Delivery::Printed) ++result.failed;
        if (r.outcome == Delivery::Printed) result.toPrint.push_back(r.client);
        appendLog(setup.logPath, r);
        if (progress) progress(r);
        result.records.push_back(std::move(r));
    };

    StatementRun run(company, setup.report.options);
    Statement s;
    while (run.next(s)) {
        if (setup.cancel && setup.cancel->load()) {
            result.cancelled = true;
            break;
        }
        DeliveryRecord r;
        r.client = s.code;
        r.address = mail::bareAddress(s.email);
        if (!s.emailStatement) {
            if (!setup.printOthers) continue;
            r.outcome = Delivery::Printed;
            record(std::move(r));
            continue;
        }
        if (r.address.empty() || !mail::addressProblem(r.address).empty() ||
            s.email.find_first_of("\r\n") != std::string::npos) {
            r.outcome = Delivery::NoAddress;
            r.detail = r.address.empty() ? "" : mail::addressProblem(r.address);
            record(std::move(r));
            continue;
        }
        // The client's statement alone, on the mailed layout.
        StatementReportSetup one = setup.report;
        one.email = true;
        one.options.fromCode = one.options.toCode = s.code;
        one.options.minimumBalance.reset();
        const std::string fileName = statementFileName(s.code);
        const std::string path = (std::filesystem::path(runDir.path().toStdString()) / fileName).string();
        std::string error;
        std::optional<std::string> pdf;
        if (runDir.isValid() && report::PdfExporter::write(layOutStatements(company, one), path, &error))
            pdf = readAll(path);
        std::filesystem::remove(path);
        if (!pdf) {
            r.outcome = Delivery::ExportFailed;
            r.detail = runDir.isValid() ? error : "no temporary folder";
            record(std::move(r));
            continue;
        }
        mail::MailMessage m;
        m.fromName = setup.fromName;
        m.fromAddress = setup.fromAddress;
        // The contact's name is only shown: angle brackets in it must not
        // pass for an address.
        std::string contact;
        for (char c : mail::foldToLine(s.contact))
            if (c != '<' && c != '>') contact += c;
        m.to = {contact.find_first_not_of(' ') == std::string::npos ? r.address
                                                                    : contact + " <" + r.address + ">"};
        m.subject = setup.subject;
        // The client's name and contact head the text, then a blank line.
        m.body = mail::foldToLine(s.name) + "\n" + mail::foldToLine(s.contact) + "\n \n" + setup.message;
        m.mailer = setup.mailer;
        m.attachments.push_back({fileName, std::move(*pdf)});
        if (setup.sending) {
            mail::MailMessage shown = m;
            for (auto& a : shown.attachments)
                a.data.clear();
            setup.sending(s.code, shown);
        }
        try {
            if (!smtp || !smtp->connected()) {
                smtp.reset();
                smtp.emplace(setup.smtp, setup.cancel);
                smtp->setObserver(setup.smtpStatus);
                smtp->connect();
            }
            const mail::SendResult sent = smtp->send(m);
            r.outcome = sent.sent && sent.refused.empty() ? Delivery::Sent : Delivery::Refused;
            r.detail = sent.refused.empty() ? sent.reply : sent.refused.front();
        } catch (const mail::SmtpError& e) {
            r.outcome = Delivery::Failed;
            r.detail = std::string(e.what()) + (e.reply().empty() ? "" : " " + e.reply());
            smtp.reset(); // a fresh connection for the next client
            if (setup.cancel && setup.cancel->load()) result.cancelled = true;
        }
        record(std::move(r));
        if (result.cancelled) break;
    }
    if (smtp) smtp->disconnect();
    return result;
}

} // namespace vm::custstmt
