#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace vm {
class Database;
}

namespace vm::journal {

// The company settings the journal modules enter and post with, read once
// from the control row when a window opens. Currency index n (0 = the
// company's own currency, 1..4 = the currencies of the control row) selects
// the control accounts and the bank account.
class ControlAccounts {
public:
    static constexpr int kCurrencies = 5;
    static constexpr int kTemplateLines = 8;

    // Reads the single control row; kRecordNotFound when the table is empty.
    static ControlAccounts load(Database& companyDb);

    int arPeriod = 0;                                                // Ctrl_ar_period
    int apPeriod = 0;                                                // Ctrl_ap_period
    std::array<std::int32_t, kCurrencies> receivables{};             // Ctrl_ar_accnt, Ctrl_ar_curr2..5
    std::array<std::int32_t, kCurrencies> payables{};                // Ctrl_ap_accnt, Ctrl_ap_curr2..5
    std::array<std::int32_t, kCurrencies> banks{};                   // Ctrl_bank_accnt1..5
    std::array<std::int32_t, kTemplateLines> receiptAccounts{};      // Ctrl_cr_accnt1..8
    std::array<std::int32_t, kTemplateLines> purchaseAccounts{};     // Ctrl_ap_purch_accnt1..8
    std::array<std::int32_t, kTemplateLines> disbursementAccounts{}; // Ctrl_ap_disb_accnt1..8
    std::array<std::string, kCurrencies> signs{}; // "" for 0 (the regional symbol), Ctrl_curr1..4_sign

    // A currency index outside 0..4 counts as the company's own currency.
    static int normalisedCurrency(std::int64_t currency);
    std::int32_t receivablesAccount(int currency) const { return receivables[normalisedCurrency(currency)]; }
    std::int32_t payablesAccount(int currency) const { return payables[normalisedCurrency(currency)]; }
    std::int32_t bankAccount(int currency) const { return banks[normalisedCurrency(currency)]; }
    // Account 0 is "no account": it is never a control or a bank account,
    // even where a currency's account has not been set up.
    bool isReceivablesAccount(std::int32_t account) const;
    bool isPayablesAccount(std::int32_t account) const;
    bool isBankAccount(std::int32_t account) const;
};

} // namespace vm::journal
