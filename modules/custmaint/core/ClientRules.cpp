#include "modules/custmaint/core/ClientRules.h"

#include "common/core/MasterRecordRules.h"
#include "engine/Cursor.h"
#include "modules/custmaint/core/ClientTables.h"

namespace vm::custmaint {

namespace {

using core::existsByKey;
using core::trimmedText;

// A Canadian address keeps its postal code in the form "A1A 1A1" (stored
// that way); other countries' codes are free text. A blank code is the
// required-code rule's business.
bool postalCodeFits(Cursor& row, const char* countryField, const char* codeField) {
    const std::string code = row.str(codeField);
    if (core::blankText(code) || !core::isCanada(row.str(countryField))) return true;
    const auto canonical = core::canadianPostalCode(code);
    if (!canonical) return false;
    if (*canonical != code) row.set(codeField, *canonical);
    return true;
}

bool editing(const Cursor& c) {
    return c.state() == Cursor::State::Edit || c.state() == Cursor::State::Insert;
}

} // namespace

std::int64_t ClientRules::numberOf(const std::string& text) {
    return core::numberOfText(text);
}

bool ClientRules::clientExists(const std::string& code) {
    return !code.empty() && existsByKey(t_.cliLookup(), Value(code));
}

bool ClientRules::salesmanExists(const std::string& code) {
    return !code.empty() && existsByKey(t_.slsm(), Value(code));
}

bool ClientRules::territoryExists(const std::string& code) {
    return !code.empty() && existsByKey(t_.arterr(), Value(code));
}

std::optional<int> ClientRules::termsDays(std::int64_t terms) {
    Cursor& c = t_.arterms();
    if (!c.findKey({Value(terms)})) {
        c.suspend();
        return std::nullopt;
    }
    const int days = static_cast<int>(c.integer("Arterms_days"));
    c.suspend();
    return days;
}

bool ClientRules::accountAccepted(std::int64_t account) {
    return core::accountAccepted(t_.glm(), account);
}

int ClientRules::salesrepExit(const std::string& text) {
    if (text.empty()) return kMsgSalesmanEmpty;
    return salesmanExists(text) ? kNoMessage : kMsgSalesmanNotFound;
}

int ClientRules::territoryExit(const std::string& text) {
    return text.empty() || territoryExists(text) ? kNoMessage : kMsgTerritoryNotFound;
}

int ClientRules::termsExit(const std::string& text, Cursor& row) {
    const auto days = termsDays(numberOf(text));
    if (!days) return kMsgTermsNotFound;
    if (editing(row)) row.set("Cli_du_days", *days);
    return kNoMessage;
}

bool ClientRules::languageAccepted(const std::string& text) {
    return text == "1" || text == "2";
}

int ClientRules::billToExit(const std::string& text) {
    return text.empty() || clientExists(text) ? kNoMessage : kMsgBillToNotFound;
}

int ClientRules::accountExit(const std::string& text) {
    return core::accountTextAccepted(t_.glm(), text) ? kNoMessage : kMsgAccountNotFound;
}

void ClientRules::applyNewClientDefaults(Cursor& row) {
    row.set("Cli_email_statement", false);
    row.set("Cli_email_invoice", false);
    for (const char* f : {"Cli_accnt1", "Cli_accnt2", "Cli_accnt3"})
        row.set(f, 0);
    row.set("Cli_copies", t_.control().invoiceCopies);
    core::zeroEmptyNumbers(row);
    row.set("Cli_date_created", Date::today());
    row.set("Cli_price_list", 1);
    row.set("Cli_ship_via", Value());
    row.set("Cli_po_req", false);
    row.set("Cli_credit_hold", false);
    row.set("Cli_block_orders", false);
    row.set("Cli_language", "1");
}

void ClientRules::applyNewCodeDefaults(Cursor& row) {
    row.set("Cli_tax_fed", true);
    row.set("Cli_tax_pro", true);
}

std::optional<ClientRefusal> ClientRules::checkBeforePost(Cursor& row, const ClientPostInputs& in) {
    using F = ClientField;
    using P = ClientPage;
    if (row.state() == Cursor::State::Edit && in.codeFieldOpen)
        return ClientRefusal{kMsgCodeNotFound, F::Code, P::General};
    if (!salesmanExists(row.str("Cli_salesrep")))
        return ClientRefusal{kMsgSalesmanNotFound, F::Salesrep, P::Control};
    const std::string territory = row.str("Cli_terr");
    if (!territory.empty() && !territoryExists(territory))
        return ClientRefusal{kMsgTerritoryNotFound, F::Territory, P::Control};
    const auto days = termsDays(row.integer("Cli_terms"));
    if (!days) return ClientRefusal{kMsgTermsNotFound, F::Terms, P::Control};
    // The terms decide the due days, whatever was typed.
    row.set("Cli_du_days", *days);
    const std::string billTo = row.str("Cli_charge_to");
    if (!billTo.empty() && !clientExists(billTo))
        return ClientRefusal{kMsgBillToNotFound, F::BillTo, P::Control};

    row.set("Cli_ship_via", in.shipVia.empty() ? Value() : Value(in.shipVia));
    // With no choice in a list (no names set up) the stored number is kept.
    if (in.priceListPosition >= 0) row.set("Cli_price_list", in.priceListPosition + 1);
    if (in.currencyPosition >= 0) row.set("Cli_currency", in.currencyPosition);

    if (in.postalCodeRequired && trimmedText(row.str("Cli_postal_code")).empty())
        return ClientRefusal{kMsgPostalCodeMissing, F::PostalCode, P::General};
    if (!postalCodeFits(row, "Cli_country", "Cli_postal_code"))
        return ClientRefusal{kMsgPostalCodeForm, F::PostalCode, P::General};
    if (row.integer("Cli_terms") == 0) return ClientRefusal{kMsgTermsMissing, F::Terms, P::Control};
    const F accounts[] = {F::Account1, F::Account2, F::Account3};
    for (int i = 0; i < 3; ++i)
        if (!accountAccepted(row.integer("Cli_accnt" + std::to_string(i + 1))))
            return ClientRefusal{kMsgAccountNotFound, accounts[i], P::Control};
    if ((row.boolean("Cli_email_statement") || row.boolean("Cli_email_invoice")) &&
        trimmedText(row.str("Cli_email")).empty())
        return ClientRefusal{kMsgEmailMissing, F::Email, P::General};
    const std::string code = row.str("Cli_code");
    if (code.empty() || code.front() == ' ') return ClientRefusal{kNoMessage, F::Code, P::General};
    // A new client under a code that is already taken would be refused by
    // the table's key; say so instead and let the user change the code.
    if (row.state() == Cursor::State::Insert && clientExists(code))
        return ClientRefusal{kMsgCodeExists, F::Code, P::General};

    row.set("Cli_copies", in.copies);
    row.set("Cli_format1", in.invoiceFormat.empty() ? Value() : Value(in.invoiceFormat));
    if (!in.user.empty()) row.set("Cli_user", in.user);
    row.set("Cli_stamp", DateTime::now());
    return std::nullopt;
}

bool ClientRules::hasLedgerRows(const std::string& code) {
    // History is looked at only when the open ledger has nothing.
    return core::hasRowsFor(t_.car(), code) || core::hasRowsFor(t_.carh(), code);
}

} // namespace vm::custmaint
