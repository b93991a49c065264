#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace vm {
class Database;
}

namespace vm::cashrcpt {

// The company settings a cash receipt is entered and posted with, read once
// from the control row when the window opens. Currency index n (0 = the
// company's own currency, 1..4 = the currencies of the control row) selects
// the receivables control account and the bank account.
class ControlAccounts {
public:
    static constexpr int kCurrencies = 5;
    static constexpr int kTemplateLines = 8;

    // Reads the single control row; kRecordNotFound when the table is empty.
    static ControlAccounts load(Database& companyDb);

    int arPeriod = 0;
    std::array<std::int32_t, kCurrencies> receivables{};         // Ctrl_ar_accnt, Ctrl_ar_curr2..5
    std::array<std::int32_t, kCurrencies> banks{};               // Ctrl_bank_accnt1..5
    std::array<std::int32_t, kTemplateLines> templateAccounts{}; // Ctrl_cr_accnt1..8
    std::array<std::string, kCurrencies> signs{}; // "" for 0 (the regional symbol), Ctrl_curr1..4_sign

    // A currency index outside 0..4 counts as the company's own currency.
    static int normalisedCurrency(std::int64_t currency);
    std::int32_t receivablesAccount(int currency) const { return receivables[normalisedCurrency(currency)]; }
    std::int32_t bankAccount(int currency) const { return banks[normalisedCurrency(currency)]; }
    // Account 0 is "no account": it is never a control or a bank account,
    // even where a currency's account has not been set up.
    bool isReceivablesAccount(std::int32_t account) const;
    bool isBankAccount(std::int32_t account) const;
};

} // namespace vm::cashrcpt
