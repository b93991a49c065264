#include "modules/vendmaint/core/SupplierRules.h"

#include "common/core/MasterRecordRules.h"
#include "engine/Cursor.h"
#include "modules/vendmaint/core/SupplierTables.h"

namespace vm::vendmaint {

namespace {

using core::existsByKey;
using core::trimmedText;

} // namespace

std::int64_t SupplierRules::numberOf(const std::string& text) {
    return core::numberOfText(text);
}

bool SupplierRules::supplierExists(const std::string& code) {
    return !code.empty() && existsByKey(t_.supLookup(), Value(code));
}

bool SupplierRules::accountAccepted(std::int64_t account) {
    return core::accountAccepted(t_.glm(), account);
}

int SupplierRules::accountExit(const std::string& text) {
    return core::accountTextAccepted(t_.glm(), text) ? kNoMessage : kMsgAccountNotFound;
}

void SupplierRules::applyNewSupplierDefaults(Cursor& row) {
    core::zeroEmptyNumbers(row);
    row.set("Sup_date_created", Date::today());
    row.set("Sup_po_req", false);
    row.set("Sup_email_po", false);
    for (const char* f : {"Sup_accnt1", "Sup_accnt2", "Sup_accnt3"})
        row.set(f, 0);
}

std::optional<SupplierRefusal> SupplierRules::checkBeforePost(Cursor& row, const SupplierPostInputs& in) {
    using F = SupplierField;
    using P = SupplierPage;
    auto account = [&](int n) { return accountAccepted(row.integer("Sup_accnt" + std::to_string(n))); };
    if (!account(1)) return SupplierRefusal{kMsgAccountNotFound, F::Account1, P::Control};
    if (!account(2)) return SupplierRefusal{kMsgAccountNotFound, F::Account2, P::Control};
    if (row.state() == Cursor::State::Edit && in.codeFieldOpen)
        return SupplierRefusal{kMsgCodeNotFound, F::Code, P::General};
    if (!account(3)) return SupplierRefusal{kMsgAccountNotFound, F::Account3, P::Control};
    if (row.boolean("Sup_email_po") && trimmedText(row.str("Sup_email")).empty())
        return SupplierRefusal{kMsgEmailMissing, F::Email, P::General};
    const std::string postal = row.str("Sup_postal_code");
    if (!core::blankText(postal) && core::isCanada(row.str("Sup_country"))) {
        // A Canadian address keeps its postal code in the form "A1A 1A1".
        const auto canonical = core::canadianPostalCode(postal);
        if (!canonical) return SupplierRefusal{kMsgPostalCodeForm, F::PostalCode, P::General};
        if (*canonical != postal) row.set("Sup_postal_code", *canonical);
    }
    // The table's key would refuse these with an engine error that ends the
    // window; the user gets a message and keeps the input instead.
    const std::string code = row.str("Sup_code");
    if (trimmedText(code).empty()) return SupplierRefusal{kMsgCodeMissing, F::Code, P::General};
    if (row.state() == Cursor::State::Insert && supplierExists(code))
        return SupplierRefusal{kMsgCodeExists, F::Code, P::General};

    const auto& banks = t_.control().banks;
    if (in.bankPosition >= 0 && in.bankPosition < static_cast<int>(banks.size()))
        row.set("Sup_bank_account", banks[static_cast<std::size_t>(in.bankPosition)].account);
    row.set("Sup_copies", in.copies);
    if (in.currencyPosition >= 0) row.set("Sup_currency", in.currencyPosition);
    if (!in.user.empty()) row.set("Sup_user", in.user);
    row.set("Sup_stamp", DateTime::now());
    return std::nullopt;
}

bool SupplierRules::hasPayables(const std::string& code) {
    // History is looked at only when the open ledger has nothing.
    return core::hasRowsFor(t_.cap(), code) || core::hasRowsFor(t_.caph(), code);
}

} // namespace vm::vendmaint
