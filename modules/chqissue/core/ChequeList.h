#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::chqissue {

// A company bank account cheques can be drawn on: Ctrl_bank_accntN set and
// in the chart. `position` (0..4) is N - 1, which selects the currency
// symbol of the report.
struct ChequeBank {
    int position = 0;
    std::int32_t account = 0;
    std::string description; // Glm_Description
};
std::vector<ChequeBank> chequeBanks(Database& companyDb);

// The currency sign of a bank's position in the company's list: the
// workstation's symbol for the first, Ctrl_currN_sign for the others (and
// the workstation's for an account that is not a company bank).
std::string bankCurrencySign(Database& companyDb, std::int32_t bankAccount, const std::string& homeSymbol);

// Whether apchqh holds any cheque entry (a new list would replace them).
bool hasChequeEntries(Database& companyDb);

// What the user chose for a new list of cheques to be issued.
struct ListRequest {
    Date printingDate; // the cheques' date; the discount is taken up to the due date
    Date dueBy;        // invoices due after this date are left out
    std::int32_t bankAccount = 0;
    std::string fromSupplier;           // lowest code, "" = no lower bound
    std::string toSupplier;             // highest code, "" = no upper bound
    std::vector<std::string> suppliers; // only these codes; empty = every supplier
    bool includeRecurring = false;
    std::int32_t language = 1; // of the amount in words (session Language)
};

// A request the list cannot be built from; nothing was changed.
struct ListRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ListSummary {
    int cheques = 0;       // entries written
    int fromTemplates = 0; // of which copied from recurring templates
    int negativeLeftOut = 0;
    Money total; // sum of Apchqh_Montant written
};

// Builds a new list of cheque entries (apchqh/apchqd) from the open payables
// and, when asked, from the recurring templates of the chosen bank.
//
// Per selected supplier (code in the range and the list, drawn on the chosen
// bank, in code order), one cheque with one line per invoice whose cap rows
// due by `dueBy` do not net to zero. A prompt-payment discount of
// Sup_pmt_discount % is taken on an invoice whose due date is on or after
// the printing date, when the discount account (Ctrl_ap_disb_accnt2) is in
// the chart. The ten distribution amounts of each cheque sum to zero and its
// amount is the sum of its lines' payments. Cheques with a negative amount
// (a credit larger than what is owed) are left out.
//
// The whole build is one immediate engine transaction: the previous list is
// replaced whole, or stays as it was when anything fails (the failure
// propagates). Entry numbers are the next free ones.
class ChequeListBuilder {
public:
    // Points at which a test can make the build fail.
    enum class Stage { Emptied, Cheque, Templates };

    explicit ChequeListBuilder(Database& companyDb);
    // Called inside the transaction; whatever it throws aborts the build.
    void setStageHook(std::function<void(Stage)> hook) { hook_ = std::move(hook); }

    // Throws ListRefused for a blank date or a bank that is not a company
    // bank account, EngineError on a database failure.
    ListSummary build(const ListRequest& request);

private:
    Database& db_;
    std::function<void(Stage)> hook_;
};

} // namespace vm::chqissue
