#include "modules/custview/core/ClientSearch.h"

#include "engine/Database.h"
#include "engine/Money.h"
#include "engine/TableDef.h"
#include "modules/custview/core/InquiryMessage.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>

namespace vm::custview {
namespace {

constexpr const char* kOrder = " ORDER BY \"Cli_code\" ASC";

std::string trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return std::string(s);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// LIKE pattern matching `text` anywhere, with the pattern characters of the
// text itself escaped by '\'.
std::string containingPattern(std::string_view text) {
    std::string p = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') p += '\\';
        p += c;
    }
    p += '%';
    return p;
}

const char* comparison(SearchOperator op) {
    switch (op) {
    case SearchOperator::Equal:
        return " = ?";
    case SearchOperator::Greater:
        return " > ?";
    case SearchOperator::Less:
        return " < ?";
    case SearchOperator::NotEqual:
        return " <> ?";
    case SearchOperator::Containing:
        break;
    }
    return " = ?";
}

ClientSearch refused(int message) {
    ClientSearch s;
    s.outcome = ClientSearch::Outcome::Refused;
    s.message = message;
    return s;
}

// The parameter as a value of the field's type; nullopt when it is not one.
std::optional<Value> numberValue(FieldType type, const std::string& text) {
    const char* b = text.data();
    const char* e = b + text.size();
    switch (type) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc: {
        std::int64_t v = 0;
        auto [p, ec] = std::from_chars(b, e, v);
        if (ec != std::errc() || p != e) return std::nullopt;
        return Value(v);
    }
    case FieldType::Float: {
        try {
            std::size_t used = 0;
            double v = std::stod(text, &used);
            if (used != text.size()) return std::nullopt;
            return Value(v);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    case FieldType::Money: {
        auto m = Money::parse(text);
        if (!m) return std::nullopt;
        return Value(*m);
    }
    case FieldType::Boolean: {
        const std::string t = lower(text);
        for (const char* yes : {"1", "true", "yes", "y", "oui", "o", "vrai", "t"})
            if (t == yes) return Value(true);
        for (const char* no : {"0", "false", "no", "n", "non", "faux", "f"})
            if (t == no) return Value(false);
        return std::nullopt;
    }
    default:
        return Value(text);
    }
}

} // namespace

const std::vector<std::string>& searchFields() {
    static const std::vector<std::string> fields = {
        "Cli_code",          "Cli_name",         "Cli_adr1",         "Cli_adr2",
        "Cli_city",          "Cli_prov",         "Cli_country",      "Cli_postal_code",
        "Cli_tel",           "Cli_fax",          "Cli_contact",      "Cli_contact_tel",
        "Cli_email",         "Cli_charge_to",    "Cli_salesrep",     "Cli_terr",
        "Cli_language",      "Cli_bank",         "Cli_bank_manager", "Cli_bank_tel",
        "Cli_terms",         "Cli_ship_via",     "Cli_date_created", "Cli_date_last_sale",
        "Cli_date_last_pmt", "Cli_tax_fed",      "Cli_tax_pro",      "Cli_po_req",
        "Cli_du_days",       "Cli_credit_limit", "Cli_price_list",   "Cli_discount",
        "Cli_current_bal",   "Cli_nsf_date",     "Cli_last_sale",    "Cli_sales_mth",
        "Cli_sales_ytd",     "Cli_comments",     "Cli_user",         "Cli_stamp",
        "Cli_currency",      "Cli_credit_hold",  "Cli_block_orders"};
    return fields;
}

std::string allClientsSql() {
    return std::string("SELECT * FROM cli") + kOrder;
}

ClientSearch buildClientSearch(Database& company, int fieldIndex, SearchOperator op,
                               std::string_view parameter, const DateReader& readDate) {
    ClientSearch s;
    const std::string p = trimmed(parameter);
    if (p.empty() || fieldIndex < 0 || fieldIndex >= kSearchFieldCount) {
        s.outcome = ClientSearch::Outcome::Query;
        s.sql = allClientsSql();
        return s;
    }
    const std::string& name = searchFields()[static_cast<std::size_t>(fieldIndex)];
    const TableDef def = company.tableDef("cli");
    const int at = def.fieldIndex(name);
    const FieldType type = at >= 0 ? def.fields[static_cast<std::size_t>(at)].type : FieldType::Text;
    const std::string column = "\"" + name + "\"";

    if (type == FieldType::Date || type == FieldType::DateTime) {
        if (op == SearchOperator::Containing) return s; // Unchanged
        std::optional<Date> d = readDate ? readDate(p) : Date::fromIso(p);
        if (!d || d->isNull()) return refused(kMsgDateInvalid);
        // Dates are stored as ISO text, so text order is date order; a time
        // stamp is compared by its day.
        const std::string expr = type == FieldType::DateTime ? "substr(" + column + ", 1, 10)" : column;
        s.sql = "SELECT * FROM cli WHERE " + expr + comparison(op) + kOrder;
        s.params = {Value(d->toIso())};
    } else if (type == FieldType::Text || type == FieldType::Memo) {
        if (op == SearchOperator::Containing) {
            s.sql = "SELECT * FROM cli WHERE " + column + " LIKE ? ESCAPE '\\'" + kOrder;
            s.params = {Value(containingPattern(p))};
        } else {
            s.sql = "SELECT * FROM cli WHERE " + column + comparison(op) + kOrder;
            s.params = {Value(p)};
        }
    } else {
        // Numbers and check boxes hold no text to look inside.
        if (op == SearchOperator::Containing) return s; // Unchanged
        std::optional<Value> v = numberValue(type, p);
        if (!v) return refused(kMsgNumberInvalid);
        s.sql = "SELECT * FROM cli WHERE " + column + comparison(op) + kOrder;
        s.params = {*v};
    }
    s.outcome = ClientSearch::Outcome::Query;
    return s;
}

} // namespace vm::custview
