#include "shell/core/SessionRecord.h"

#include "shell/core/CompanyDirectory.h"
#include "shell/core/LanguageList.h"
#include "shell/core/ShellSettings.h"
#include "shell/core/UserDirectory.h"

#include <charconv>

namespace vm::shell {

void SessionRecord::applySettings(TLinkSection& link, const ShellSettings& settings) {
    link.Customer = settings.customer;
    link.ProgramDir = settings.programDir();
    link.DataDir = settings.dataDir();
    link.Reserved1 = {};
    link.Reserved2 = {};
    link.Reserved3 = {};
    link.Reserved4 = {};
    link.Reserved5 = 0;
    link.Reserved7 = 0;
    link.LedgerPrefix = {};

    int language = 1;
    const std::string& text = settings.language;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), language);
    if (ec != std::errc() || end != text.data() + text.size()) language = 1;
    link.Language = language;
    if (language == 1)
        link.LangCode.set("en");
    else if (language == 2)
        link.LangCode.set("fr");
}

void SessionRecord::applyLogin(TLinkSection& link, const UserRow& user,
                               const std::vector<LanguageRow>& languages) {
    link.LoginUser = user.name;
    if (user.language == 0) return;
    link.Language = user.language;
    link.LangCode.set(LanguageList::codeFor(languages, user.language));
}

void SessionRecord::applyCompany(TLinkSection& link, const UserRow& user,
                                 const std::optional<CompanyRow>& company) {
    link.UserName = user.name;
    link.UserDetail = user.detail;
    link.CompanyCode = std::to_string(user.company);
    link.CompanyName = company ? company->name : std::string();
}

void SessionRecord::applyCompanyChange(TLinkSection& link, const CompanyRow& company) {
    link.CompanyCode = std::to_string(company.code);
    link.CompanyName = company.name;
}

void SessionRecord::applyLanguage(TLinkSection& link, const LanguageRow& language) {
    link.Language = language.key;
    link.LangCode.set(language.shortCode());
}

void SessionRecord::applyPrinter(TLinkSection& link, int printerIndex) {
    link.PrinterIndex = std::to_string(printerIndex);
}

} // namespace vm::shell
