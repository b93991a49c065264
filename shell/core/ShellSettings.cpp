#include "shell/core/ShellSettings.h"

#include "common/core/SettingsStore.h"
#include "engine/Database.h"
#include "schema/Schema.h"

namespace vm::shell {
namespace {

// A drive value ending in a separator must not double it.
std::string joinDir(std::string drive, const char* rest) {
    while (drive.size() > 1 && drive.back() == '/')
        drive.pop_back();
    if (drive == "/") drive.clear();
    return drive + rest;
}

} // namespace

bool isYes(const std::string& flag) {
    return flag == "Y" || flag == "y";
}

ShellSettings ShellSettings::read(const core::SettingsStore& store) {
    using core::SettingsStore;
    ShellSettings s;
    auto v = [&store](const char* name, const std::string& def) {
        return store.read(SettingsStore::kValmorand, name, def);
    };
    s.customer = v("customer", s.customer);
    s.language = v("language", s.language);
    s.pgmdrive = v("pgmdrive", s.pgmdrive);
    s.datadrive = v("datadrive", s.datadrive);
    s.payroll = v("payroll", s.payroll);
    s.jobCost = v("JobCost", s.jobCost);
    s.payrollCCQ = v("payrollCCQ", s.payrollCCQ);
    s.tracker = v("tracker", s.tracker);
    s.pos = v("pos", s.pos);
    s.showtips = v("showtips", s.showtips);
    s.bannerads = v("bannerads", s.bannerads);
    s.form = v("Form", s.form);
    s.displayPW = v("DisplayPW", s.displayPW);
    auto r = [&store](const char* name, const std::string& def) {
        return store.read(SettingsStore::kSettings, name, def);
    };
    s.intl = r("intl", s.intl);
    s.dateFmt = r("DateFmt", s.dateFmt);
    s.currSmbl = r("CurrSmbl", s.currSmbl);
    s.currAlign = r("CurrAlign", s.currAlign);
    return s;
}

std::string ShellSettings::programDir() const {
    return joinDir(pgmdrive, "/Valmorand/bin");
}
std::string ShellSettings::dataDir() const {
    // A PostgreSQL server's URI names the data root's schema there.
    if (Database::isServerLocation(datadrive)) return schema::dataDirOf(datadrive);
    return joinDir(datadrive, "/Valmorand/data");
}
std::string ShellSettings::companyDir(const std::string& companyCode) const {
    return dataDir() + companyCode;
}

std::string shownLocation(const std::string& location) {
    if (!Database::isServerLocation(location)) return location;
    std::string s = location;
    const std::size_t scheme = s.find("://");
    const std::size_t authorityEnd = s.find_first_of("/?#", scheme + 3);
    const std::size_t at = s.rfind('@', authorityEnd == std::string::npos ? s.size() : authorityEnd);
    if (at != std::string::npos && at > scheme) {
        const std::size_t colon = s.find(':', scheme + 3);
        if (colon < at) s.replace(colon, at - colon, ":***");
    }
    for (std::size_t p = s.find("password="); p != std::string::npos; p = s.find("password=", p + 1)) {
        if (p > 0 && s[p - 1] != '?' && s[p - 1] != '&') continue;
        const std::size_t from = p + 9;
        const std::size_t end = s.find_first_of("&#", from);
        s.replace(from, (end == std::string::npos ? s.size() : end) - from, "***");
    }
    return s;
}

bool ShellSettings::payrollOn() const {
    return isYes(payroll);
}
bool ShellSettings::jobCostOn() const {
    return isYes(jobCost);
}
bool ShellSettings::trackerOn() const {
    return isYes(tracker);
}
bool ShellSettings::payrollCCQOn() const {
    return isYes(payrollCCQ);
}

} // namespace vm::shell
