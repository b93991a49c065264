#pragma once
#include <string>

namespace vm::core {
class SettingsStore;
}

namespace vm::shell {

// The workstation values the shell reads at start, each with its default.
// Text as stored; the flags are interpreted by the accessors below.
struct ShellSettings {
    // Section "Valmorand"
    std::string customer;
    std::string language = "1";
    std::string pgmdrive = "e:";
    std::string datadrive = "e:";
    std::string payroll = "n";
    std::string jobCost = "n";
    std::string payrollCCQ = "n";
    std::string tracker = "n";
    std::string pos = "n";
    std::string showtips = "y";
    std::string bannerads = "y";
    std::string form = "520,20,36,750,N";
    std::string displayPW = "N";
    // Section "Settings"
    std::string intl = "N";
    std::string dateFmt = "DD/MM/YYYY";
    std::string currSmbl = "$";
    std::string currAlign = "L";

    static ShellSettings read(const core::SettingsStore& store);

    // Drive values become directory prefixes.
    std::string programDir() const;
    std::string dataDir() const;
    // DataDir immediately followed by the company number ("…/data12").
    std::string companyDir(const std::string& companyCode) const;

    bool payrollOn() const; // "Y" in any case
    bool jobCostOn() const;
    bool trackerOn() const;
    bool payrollCCQOn() const;
    // Only "Y" exactly forces the login dialog for a single user.
    bool forcePasswordDialog() const { return displayPW == "Y"; }
    bool international() const { return intl == "Y" || intl == "y"; }
};

// "Y" or "y".
bool isYes(const std::string& flag);

// A data location as it may be shown: a server's address without a
// password written in it (user:secret@ or password=secret).
std::string shownLocation(const std::string& location);

} // namespace vm::shell
