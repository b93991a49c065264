#pragma once
#include <optional>
#include <string>

namespace vm::core {
class SettingsStore;
}

namespace vm::shell {

// What the company defaults wizard stores when it is closed.
struct CompanyDefaults {
    std::string rate1; // federal rate (GST, or tax 1)
    std::string rate2; // first provincial rate (PST/QST, or tax 2)
    std::string rate3; // harmonised rate
    std::string dollars;
    std::string cents;
    std::string dateFormat;
    std::string currencySymbol;
    bool outsideCanada = false;
    bool alignRight = false;
};

class CompanyDefaultsStore {
public:
    // A rate as typed: blank is 0; a point or a comma may separate the
    // decimals; anything else (letters, a sign, two separators) is not a
    // rate.
    static std::optional<double> parseRate(const std::string& text);

    // Which rate (1, 2 or 3) is not a number, or 0 when all three are.
    static int firstBadRate(const CompanyDefaults& values);

    // Writes the rates and the currency words into the single ctrl row of
    // the company directory, then DateFmt, CurrSmbl, Intl and CurrAlign into
    // section "Settings". The rates are checked first: when one is not a
    // number nothing at all is written and its number is returned. Returns 0
    // when everything was stored. Engine failures (no ctrl row, a locked
    // row) are thrown before the settings are touched.
    static int store(const std::string& companyDir, const core::SettingsStore& settings,
                     const CompanyDefaults& values);
};

} // namespace vm::shell
