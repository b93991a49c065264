#include "common/core/MasterRecordRules.h"

#include "engine/Cursor.h"

#include <cctype>
#include <charconv>

namespace vm::core {

std::string trimmedText(const std::string& text) {
    const auto b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const auto e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

bool blankText(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

std::int64_t numberOfText(const std::string& text) {
    const std::string s = trimmedText(text);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size()) return 0;
    return n;
}

bool existsByKey(Cursor& cursor, const Value& key) {
    const bool found = cursor.findKey({key});
    cursor.suspend();
    return found;
}

bool accountAccepted(Cursor& glm, std::int64_t account) {
    return account <= 0 || existsByKey(glm, Value(account));
}

bool accountTextAccepted(Cursor& glm, const std::string& text) {
    return !blankText(text) && accountAccepted(glm, numberOfText(text));
}

void zeroEmptyNumbers(Cursor& row) {
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
}

bool hasRowsFor(Cursor& ledger, const std::string& code) {
    ledger.setRange({Value(code)});
    const bool found = ledger.hasRow();
    ledger.cancelRange();
    ledger.suspend();
    return found;
}

std::vector<std::string> currencyChoices(const std::array<std::string, 4>& names) {
    std::vector<std::string> out;
    for (const auto& name : names)
        if (!blankText(name)) out.push_back(name);
    return out;
}

std::string currencySign(const std::array<std::string, 4>& signs, int currency,
                         const std::string& homeSymbol) {
    if (currency < 1 || currency > 4) return homeSymbol;
    return signs[static_cast<std::size_t>(currency - 1)];
}

bool postalCodeRequired(const std::string& intlSetting) {
    const std::string s = trimmedText(intlSetting);
    return s == "N" || s == "n";
}

bool isCanada(const std::string& country) {
    std::string s = trimmedText(country);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s == "CANADA" || s == "CA" || s == "CAN";
}

std::optional<std::string> canadianPostalCode(const std::string& text) {
    std::string s;
    for (char c : trimmedText(text))
        if (c != ' ') s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (s.size() != 6) return std::nullopt;
    for (std::size_t i = 0; i < 6; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (i % 2 == 0 ? !std::isalpha(c) || c > 127 : !std::isdigit(c)) return std::nullopt;
    }
    return s.substr(0, 3) + ' ' + s.substr(3);
}

} // namespace vm::core
