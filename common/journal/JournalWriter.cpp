#include "common/journal/JournalWriter.h"

#include "common/journal/ControlAccounts.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

namespace vm::journal {

int journalOfCurrency(int baseJournal, std::int64_t currency) {
    const int n = ControlAccounts::normalisedCurrency(currency);
    return n == 0 ? baseJournal : baseJournal * 10 + 1 + n;
}

std::string partyMemo(const std::string& partyName, const std::string& memo) {
    return memo.empty() ? partyName : partyName + "\r" + memo;
}

std::string periodName(Database& companyDb, int period) {
    Cursor periods(companyDb, "Periods", true);
    return periods.findKey({Value(period)}) ? periods.str("Period_mth") : std::string();
}

bool fitsSum(Money a, Money b) {
    std::int64_t sum = 0;
    return !__builtin_add_overflow(a.raw(), b.raw(), &sum);
}

Money addChecked(Money a, Money b, const char* what) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.raw(), b.raw(), &sum))
        throw AmountOverflow(std::string("The amount is too large for ") + what);
    return Money::fromRaw(sum);
}

JournalWriter::JournalWriter(Database& db)
    : tjlh_(std::make_unique<Cursor>(db, "tjlh")), tjld_(std::make_unique<Cursor>(db, "tjld")) {}

JournalWriter::~JournalWriter() = default;

void JournalWriter::start(const JournalKey& key, const std::string& headerMemo, const std::string& user,
                          DateTime now) {
    started_ = true;
    lines_ = 0;
    key_ = key;
    headerMemo_ = headerMemo;
    user_ = user;
    now_ = now;
    debit_ = credit_ = Money();
}

void JournalWriter::addLine(std::int32_t account, const std::string& description, Money debit, Money credit) {
    if (!started_) throw std::logic_error("JournalWriter::addLine before start");
    // Both sides are added, so that a header always equals the sum of its
    // lines even for a line that carries a debit and a credit.
    debit_ = addChecked(debit_, debit, "the journal entry");
    credit_ = addChecked(credit_, credit, "the journal entry");
    ++lines_;

    Cursor& tjld = *tjld_;
    tjld.insert();
    schema::fillBlank(tjld);
    tjld.set("Tjld_period", key_.period);
    tjld.set("Tjld_journal", key_.journal);
    tjld.set("Tjld_reference", key_.reference);
    tjld.set("Tjld_date", key_.date);
    tjld.set("Tjld_account", account);
    tjld.set("Tjld_description", description);
    tjld.set("Tjld_debit", debit);
    tjld.set("Tjld_credit", credit);
    tjld.post();
}

void JournalWriter::finish() {
    if (!started_) throw std::logic_error("JournalWriter::finish before start");
    started_ = false;
    if (lines_ == 0) return;
    Cursor& tjlh = *tjlh_;
    if (tjlh.findKey({Value(key_.period), Value(key_.journal), Value(key_.reference), Value(key_.date)})) {
        tjlh.edit();
        tjlh.set("Tjlh_tot_debit", addChecked(tjlh.money("Tjlh_tot_debit"), debit_, "the journal entry"));
        tjlh.set("Tjlh_tot_credit", addChecked(tjlh.money("Tjlh_tot_credit"), credit_, "the journal entry"));
        tjlh.post();
    } else {
        tjlh.insert();
        schema::fillBlank(tjlh);
        tjlh.set("Tjlh_period", key_.period);
        tjlh.set("Tjlh_journal", key_.journal);
        tjlh.set("Tjlh_reference", key_.reference);
        tjlh.set("Tjlh_date", key_.date);
        tjlh.set("Tjlh_memo", headerMemo_);
        tjlh.set("Tjlh_user", user_);
        tjlh.set("Tjlh_stamp", now_);
        tjlh.set("Tjlh_tot_debit", debit_);
        tjlh.set("Tjlh_tot_credit", credit_);
        tjlh.post();
    }
}

void addBankReconciliation(Database& db, const BankLine& line) {
    Cursor concil(db, "concil");
    concil.insert();
    schema::fillBlank(concil);
    concil.set("Concil_type", line.type);
    concil.set("Concil_reference", line.reference);
    concil.set("Concil_fou_cli_emp", line.party);
    concil.set("Concil_nom", line.partyName);
    concil.set("Concil_date", line.date);
    concil.set("Concil_montant", line.amount);
    concil.set("Concil_tag", false);
    concil.set("Concil_account", line.account);
    concil.post();
}

} // namespace vm::journal
