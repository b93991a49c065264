#pragma once
#include "common/core/AmountInWords.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::chqedit {

constexpr int kCurrencies = 5;
constexpr int kSlots = 10;

// The company settings the cheque windows work with, read once when the
// window opens.
struct ChequeSettings {
    struct Bank {
        std::int32_t account = 0;
        std::string description; // Glm_description
    };
    // Ctrl_bank_accnt1..5 in that order, without the unset ones and those
    // the chart does not hold. A cheque without supplier takes its bank's
    // position here as its currency.
    std::vector<Bank> banks;
    // Accounts payable per currency: Ctrl_ap_accnt, Ctrl_ap_curr2..5.
    std::array<std::int32_t, kCurrencies> payables{};
    // Default accounts of slots 3 to 9: Ctrl_ap_disb_accnt2..8.
    std::array<std::int32_t, 7> slotDefaults{};
    // Currency signs 1 to 4 (Ctrl_curr1_sign..Ctrl_curr4_sign); 0 is the
    // workstation's own.
    std::array<std::string, kCurrencies> signs;
    // Every company bank account and payables control account: none of them
    // may be typed into a distribution slot.
    std::set<std::int32_t> reserved;

    static ChequeSettings read(Database& companyDb);

    // Position of an account in `banks`, -1 when it is not there.
    int bankPosition(std::int32_t account) const;
    std::int32_t payablesAccount(int currency) const;
    std::string sign(int currency, const std::string& homeSign) const;
};

} // namespace vm::chqedit
