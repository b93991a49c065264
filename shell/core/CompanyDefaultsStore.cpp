#include "shell/core/CompanyDefaultsStore.h"

#include "common/core/SettingsStore.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"

#include <charconv>

namespace vm::shell {

std::optional<double> CompanyDefaultsStore::parseRate(const std::string& text) {
    std::string t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.erase(t.begin());
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.pop_back();
    if (t.empty()) return 0.0;
    int separators = 0, digits = 0;
    for (char& c : t) {
        if (c == ',') c = '.';
        if (c == '.')
            ++separators;
        else if (c >= '0' && c <= '9')
            ++digits;
        else
            return std::nullopt;
    }
    if (separators > 1 || digits == 0) return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

int CompanyDefaultsStore::firstBadRate(const CompanyDefaults& values) {
    if (!parseRate(values.rate1)) return 1;
    if (!parseRate(values.rate2)) return 2;
    if (!parseRate(values.rate3)) return 3;
    return 0;
}

int CompanyDefaultsStore::store(const std::string& companyDir, const core::SettingsStore& settings,
                                const CompanyDefaults& values) {
    if (const int bad = firstBadRate(values)) return bad;

    Database& db = Session::instance().database(companyDir);
    {
        Cursor ctrl(db, "ctrl");
        if (!ctrl.first())
            throw EngineError(errc::kNoCurrentRecord, "ctrl: the company has no control record");
        ctrl.edit();
        try {
            ctrl.set("Ctrl_fed_rate", *parseRate(values.rate1));
            ctrl.set("Ctrl_pro_rate1", *parseRate(values.rate2));
            ctrl.set("Ctrl_pro_rate2", *parseRate(values.rate3));
            ctrl.set("Ctrl_dollars1", values.dollars);
            ctrl.set("Ctrl_cents1", values.cents);
            ctrl.post();
        } catch (...) {
            ctrl.cancel();
            throw;
        }
    }

    using core::SettingsStore;
    settings.write(SettingsStore::kSettings, "DateFmt", values.dateFormat);
    settings.write(SettingsStore::kSettings, "CurrSmbl", values.currencySymbol);
    settings.write(SettingsStore::kSettings, "Intl", values.outsideCanada ? "y" : "n");
    settings.write(SettingsStore::kSettings, "CurrAlign", values.alignRight ? "R" : "L");
    return 0;
}

} // namespace vm::shell
