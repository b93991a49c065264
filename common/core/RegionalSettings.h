#pragma once
#include <string>

namespace vm::core {

class SettingsStore;

// The workstation's regional settings, section "Settings" of the settings
// store, read by the shell at start and by every module on entry. They are
// the same values everywhere, so each library keeps its own current copy.
struct RegionalSettings {
    static constexpr char kDefaultDateFormat[] = "DD/MM/YYYY";

    std::string dateFormat = kDefaultDateFormat; // DateFmt: the short date format
    std::string currencySymbol = "$";            // CurrSmbl
    std::string currencyAlign = "L";             // CurrAlign: "L"/"l" symbol before, anything else after
    std::string intl = "N";                      // intl: "y"/"Y" international terminology
    // Not stored in the settings: the separators of the session's language
    // (useLanguage), English until a module takes its session's.
    char thousandsSeparator = ',';
    char decimalSeparator = '.';

    bool symbolBefore() const { return currencyAlign == "L" || currencyAlign == "l"; }
    bool international() const { return intl == "Y" || intl == "y"; }

    // The separators of amounts and rates in a session language (1 English,
    // anything else French): "1,000.50" and "1 000,50". French groups with a
    // plain space; a no-break space typed or pasted reads the same.
    void useLanguage(int language);

    // Reads the four values; a missing value gives its default. A date
    // format that lacks the day, the month or the year cannot show or read a
    // date, so it is replaced by the default rather than taken.
    static RegionalSettings read(const SettingsStore& store);

    // The settings in force in this library (defaults until set).
    static const RegionalSettings& current();
    static void setCurrent(const RegionalSettings& settings);
    // read() from the store and make the result current.
    static const RegionalSettings& loadCurrent(const SettingsStore& store);
};

// True when the format names a day, a month and a year (letters D, M, Y in
// either case).
bool isUsableDateFormat(const std::string& format);

} // namespace vm::core
