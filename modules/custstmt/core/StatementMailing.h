#pragma once
#include "common/core/SettingsStore.h"
#include "common/core/SmtpClient.h"
#include "modules/custstmt/core/StatementReport.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace vm::custstmt {

// What became of one client in a mailing run.
enum class Delivery {
    Sent,         // the server took it (its reply kept)
    Refused,      // the server refused it (its reply kept)
    NoAddress,    // takes statements by mail but has no usable address
    Printed,      // does not take statements by mail: printed instead
    ExportFailed, // the statement file could not be written
    Failed,       // the connection failed or the run was cancelled
};
const char* deliveryName(Delivery d);

struct DeliveryRecord {
    std::string client, address;
    Delivery outcome = Delivery::Failed;
    std::string detail; // the server's reply or the error
};

struct MailingSetup {
    StatementReportSetup report; // the selection and layout; the mailed layout is used
    mail::SmtpSettings smtp;
    std::string fromName, fromAddress, subject, message, mailer;
    bool printOthers = false;                  // clients not taking mail get a printed statement
    const std::atomic<bool>* cancel = nullptr; // checked between clients and during every wait
    std::string logPath;                       // the delivery log, appended to; none when empty
    // Called on the run's thread: each message just before it is sent (its
    // attachments' names only), and each step of the mail client.
    std::function<void(const std::string& client, const mail::MailMessage&)> sending;
    mail::SmtpObserver smtpStatus;
};

struct MailingResult {
    std::vector<DeliveryRecord> records;
    std::vector<std::string> toPrint; // codes of the clients to print (Printed)
    int failed = 0;                   // Refused, NoAddress, ExportFailed and Failed
    bool cancelled = false;
};

// The server and sender of a mailing from the workstation's settings (the
// "Email ..." entries of the Settings section); the password is empty when
// the settings do not keep it. False when the sender, the server or the
// return address is missing.
bool readMailSettings(const core::SettingsStore& settings, MailingSetup& setup);

// "stmt" + the client code with every character that could leave a folder or
// upset a mail reader replaced + ".pdf".
std::string statementFileName(const std::string& clientCode);
// The delivery log of a company's mailings: statements-mail.log in its
// folder, or, for a company on a server, in this workstation's folder for it
// (core::localFilesDir).
std::string mailLogPath(const std::string& companyDir);

// Mails one statement per selected client taking statements by mail, in code
// order, over one connection (made again after a failure). Each statement is
// written as PDF to a temporary folder of this run and removed once sent.
// Every client's outcome is recorded, reported through `progress` and
// appended to the delivery log. Throws nothing for a client's failure.
MailingResult mailStatements(Database& company, const MailingSetup& setup,
                             const std::function<void(const DeliveryRecord&)>& progress = {});

} // namespace vm::custstmt
