#include "common/core/RegionalSettings.h"

#include "common/core/SettingsStore.h"

namespace vm::core {
namespace {

RegionalSettings& currentSettings() {
    static RegionalSettings settings;
    return settings;
}

} // namespace

bool isUsableDateFormat(const std::string& format) {
    bool d = false, m = false, y = false;
    for (char c : format) {
        d = d || c == 'D' || c == 'd';
        m = m || c == 'M' || c == 'm';
        y = y || c == 'Y' || c == 'y';
    }
    return d && m && y;
}

RegionalSettings RegionalSettings::read(const SettingsStore& store) {
    RegionalSettings rs;
    const char* section = SettingsStore::kSettings;
    rs.dateFormat = store.read(section, "DateFmt", kDefaultDateFormat);
    if (!isUsableDateFormat(rs.dateFormat)) rs.dateFormat = kDefaultDateFormat;
    rs.currencySymbol = store.read(section, "CurrSmbl", "$");
    rs.currencyAlign = store.read(section, "CurrAlign", "L");
    rs.intl = store.read(section, "intl", "N");
    return rs;
}

void RegionalSettings::useLanguage(int language) {
    thousandsSeparator = language == 1 ? ',' : ' ';
    decimalSeparator = language == 1 ? '.' : ',';
}

const RegionalSettings& RegionalSettings::current() {
    return currentSettings();
}

void RegionalSettings::setCurrent(const RegionalSettings& settings) {
    currentSettings() = settings;
}

const RegionalSettings& RegionalSettings::loadCurrent(const SettingsStore& store) {
    setCurrent(read(store));
    return current();
}

} // namespace vm::core
