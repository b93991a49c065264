#include "modules/cashrcpt/core/ReceiptPosting.h"

#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "modules/cashrcpt/core/ReceiptDocument.h"
#include "schema/Schema.h"

#include <memory>

namespace vm::cashrcpt {
namespace {

constexpr int kReceiptJournal = 2;
constexpr int kConcilReceipt = 1;

int journalOfCurrency(std::int64_t currency) {
    return journal::journalOfCurrency(kReceiptJournal, currency);
}

} // namespace

ReceiptPosting::ReceiptPosting(Database& companyDb, const ControlAccounts& accounts)
    : db_(companyDb), accounts_(accounts) {}

int ReceiptPosting::journalNumber(Database& companyDb, const ControlAccounts& accounts,
                                  const ReceiptDocument& doc, std::int64_t clientCurrency) {
    if (!doc.notFromClient) return journalOfCurrency(clientCurrency);
    // A preset bank line left at zero moves no money: the bank that receives
    // the deposit is the first one with an amount.
    for (const DistributionLine& line : doc.lines) {
        if (!accounts.isBankAccount(line.accountOrZero()) || !line.hasAmount()) continue;
        Cursor glm(companyDb, "glm", true);
        if (!glm.findKey({Value(line.accountOrZero())})) return kReceiptJournal;
        return journalOfCurrency(glm.integer("Glm_currency"));
    }
    return kReceiptJournal;
}

PostingResult ReceiptPosting::postOnce(const ReceiptDocument& doc, int period) {
    const bool fromClient = !doc.notFromClient;
    const DateTime now = DateTime::now();
    auto stage = [this](Stage s) {
        if (hook_) hook_(s);
    };

    Transaction tx(db_, /*immediate=*/true);

    // The client's row is taken first, so that waiting for another session
    // happens before anything is written, and its balance is read under the
    // write lock that this posting holds until it commits.
    std::unique_ptr<Cursor> cli;
    std::string clientName;
    std::int64_t currency = 0;
    if (fromClient) {
        cli = std::make_unique<Cursor>(db_, "cli");
        if (!cli->findKey({Value(doc.client)}))
            throw EngineError(errc::kRecordNotFound, "Client " + doc.client + " is not on file (cli)");
        cli->edit();
        clientName = cli->str("Cli_name");
        currency = cli->integer("Cli_currency");
    }

    PostingResult result;
    result.journal = journalNumber(db_, accounts_, doc, currency);

    Cursor hdr(db_, "crorihdr");
    hdr.insert();
    schema::fillBlank(hdr);
    hdr.set("Reference", doc.reference);
    hdr.set("Client", fromClient ? doc.client : std::string());
    hdr.set("Date", doc.date);
    hdr.set("Not_from_cli", doc.notFromClient);
    hdr.set("Nsf_cheque", doc.nsfCheque);
    hdr.set("Comments", doc.memo);
    hdr.set("Stamp", now);
    hdr.set("User", user_);
    for (std::size_t i = 0; i < doc.lines.size() && i < ReceiptDocument::kMaxLines; ++i) {
        const std::string k = std::to_string(i + 1);
        hdr.set("Account" + k, doc.lines[i].accountOrZero());
        hdr.set("Debit" + k, doc.lines[i].debit);
        hdr.set("Credit" + k, doc.lines[i].credit);
    }
    hdr.post();
    result.headerSeq = hdr.integer("Seq");
    stage(Stage::Header);

    const std::string headerMemo = fromClient ? journal::partyMemo(clientName, doc.memo) : doc.memo;

    bool nsf = doc.nsfCheque;
    Money arDebit, arCredit;
    journal::JournalWriter journalWriter(db_);
    journalWriter.start({period, result.journal, doc.reference, doc.date}, headerMemo, user_, now);
    for (const DistributionLine& line : doc.lines) {
        const std::int32_t account = line.accountOrZero();
        if (account == 0 || !line.hasAmount()) continue;
        journalWriter.addLine(account, line.description, line.debit, line.credit);
        // A debit to the receivables account is a returned payment: the
        // receipt does not date the client's NSF cheque.
        if (account == accounts_.receivables[0] && line.debit > Money()) nsf = false;
        if (accounts_.isBankAccount(account))
            journal::addBankReconciliation(
                db_, {account, kConcilReceipt, doc.reference, fromClient ? doc.client : std::string(),
                      fromClient ? clientName : doc.memo, doc.date, line.debit - line.credit});
        if (accounts_.isReceivablesAccount(account)) {
            arDebit += line.debit;
            arCredit += line.credit;
        }
    }
    journalWriter.finish();
    stage(Stage::Journal);

    if (fromClient) {
        Cursor car(db_, "car");
        auto ledgerRow = [&](const std::string& invoice, const std::string& salesman, const char* type,
                             Money amount) {
            car.insert();
            schema::fillBlank(car);
            car.set("Car_client", doc.client);
            car.set("Car_invoice", invoice);
            car.set("Car_ref", doc.reference);
            car.set("Car_date", doc.date);
            car.set("Car_type", type);
            car.set("Car_du_date", doc.date);
            car.set("Car_amount", amount);
            car.set("Car_memo", doc.memo);
            car.set("Car_slsm", salesman);
            car.set("Car_pro_tax", Money());
            car.set("Car_fed_tax", Money());
            car.set("Car_user", user_);
            car.set("Car_stamp", now);
            car.post();
        };

        Money applied;
        Cursor det(db_, "croridet");
        for (const InvoicePayment& p : doc.invoices) {
            if (p.payment.isZero()) continue;
            ledgerRow(p.invoice, p.salesman, "2", -p.payment);
            applied += p.payment;
            if (p.payment > Money()) {
                det.insert();
                schema::fillBlank(det);
                det.set("Reference", doc.reference);
                det.set("Client", doc.client);
                det.set("Date", doc.date);
                det.set("Header_seq", result.headerSeq);
                det.set("Invoice", p.invoice);
                det.set("Invoice_date", p.invoiceDate);
                det.set("Invoice_due_date", p.dueDate);
                det.set("Invoice_amount", p.openAmount);
                det.set("Invoice_payment", p.payment);
                det.post();
            }
        }
        // What the distribution moves on the receivables account beyond the
        // invoice payments is the client's too: a debit not applied to an
        // invoice ("4") or a payment on account ("5"). The rows written always
        // add up to the change made to the balance.
        if (arDebit != arCredit) {
            const Money rest = (arDebit - arCredit) + applied;
            if (rest > Money())
                ledgerRow(doc.reference, std::string(), "4", rest);
            else if (rest < Money())
                ledgerRow(doc.reference, std::string(), "5", rest);
            applied = arCredit - arDebit;
        }
        stage(Stage::Ledger);

        const Money balance = cli->money("Cli_current_bal") - applied;
        cli->set("Cli_date_last_pmt", doc.date);
        cli->set("Cli_current_bal", balance);
        const std::int64_t limit = cli->integer("Cli_credit_limit");
        if (limit != 0 && balance < Money::fromUnits(limit)) cli->set("Cli_credit_hold", false);
        if (nsf) {
            cli->set("Cli_nsf_date", doc.date);
            result.nsfDateSet = true;
        }
        cli->post();
        result.balanceChange = -applied;
        stage(Stage::Client);
    }

    tx.commit();
    return result;
}

std::optional<PostingResult> ReceiptPosting::post(const ReceiptDocument& doc, int period,
                                                  const std::function<bool()>& waitForLock) {
    for (;;) {
        try {
            return postOnce(doc, period);
        } catch (const EngineError& e) {
            if (!e.isLock()) throw;
        }
        if (!waitForLock || !waitForLock()) return std::nullopt;
    }
}

} // namespace vm::cashrcpt
