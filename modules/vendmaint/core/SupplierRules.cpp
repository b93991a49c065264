#include "modules/vendmaint/core/SupplierRules.h"

#include "engine/Cursor.h"
#include "modules/vendmaint/core/SupplierTables.h"

#include <charconv>

namespace vm::vendmaint {

namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool exists(Cursor& c, const Value& key) {
    const bool found = c.findKey({key});
    c.suspend(); // no read snapshot may outlive the look-up
    return found;
}

} // namespace

std::int64_t SupplierRules::numberOf(const std::string& text) {
    const std::string s = trimmed(text);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size()) return 0;
    return n;
}

bool SupplierRules::supplierExists(const std::string& code) {
    return !code.empty() && exists(t_.supLookup(), Value(code));
}

bool SupplierRules::accountAccepted(std::int64_t account) {
    return account <= 0 || exists(t_.glm(), Value(account));
}

int SupplierRules::accountExit(const std::string& text) {
    if (trimmed(text).empty()) return kMsgAccountNotFound;
    return accountAccepted(numberOf(text)) ? kNoMessage : kMsgAccountNotFound;
}

void SupplierRules::applyNewSupplierDefaults(Cursor& row) {
    for (int i = 0; i < row.fieldCount(); ++i) {
        if (!row.value(i).isNull()) continue;
        switch (row.def().fields[static_cast<std::size_t>(i)].type) {
        case FieldType::Int16:
        case FieldType::Int32:
            row.set(i, 0);
            break;
        case FieldType::Float:
            row.set(i, 0.0);
            break;
        case FieldType::Money:
            row.set(i, Money());
            break;
        default:
            break;
        }
    }
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
    if (row.boolean("Sup_email_po") && trimmed(row.str("Sup_email")).empty())
        return SupplierRefusal{kMsgEmailMissing, F::Email, P::General};
    // The table's key would refuse these with an engine error that ends the
    // window; the user gets a message and keeps the input instead.
    const std::string code = row.str("Sup_code");
    if (trimmed(code).empty()) return SupplierRefusal{kMsgCodeMissing, F::Code, P::General};
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
    auto any = [&](Cursor& c) {
        c.setRange({Value(code)});
        const bool found = c.hasRow();
        c.cancelRange();
        c.suspend();
        return found;
    };
    // History is looked at only when the open ledger has nothing.
    return any(t_.cap()) || any(t_.caph());
}

} // namespace vm::vendmaint
