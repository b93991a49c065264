#pragma once
#include "common/core/LinkSection.h"

#include <optional>
#include <string>
#include <vector>

namespace vm::shell {

struct CompanyRow;
struct LanguageRow;
struct ShellSettings;
struct UserRow;

// How the shell fills its session record as it starts, logs in and opens a
// company. Each step sets only the fields it owns.
class SessionRecord {
public:
    // From the settings: Customer, ProgramDir, DataDir and the start-up
    // language ("1" English, "2" French; another number sets Language only;
    // text that is not a number leaves English). Clears LedgerPrefix and
    // the reserved fields.
    static void applySettings(TLinkSection& link, const ShellSettings& settings);

    // After login: LoginUser is the user's name; a user language other than
    // 0 becomes Language, with the LangCode of languages.db ("en" when the
    // language is not listed). Language 0 keeps the workstation's language.
    static void applyLogin(TLinkSection& link, const UserRow& user,
                           const std::vector<LanguageRow>& languages);

    // Opening the user's company: UserName, UserDetail, CompanyCode (the
    // user's company in decimal) and CompanyName (empty when comp.db does
    // not list it).
    static void applyCompany(TLinkSection& link, const UserRow& user,
                             const std::optional<CompanyRow>& company);

    // A change of company from Options/Company.
    static void applyCompanyChange(TLinkSection& link, const CompanyRow& company);

    // Options/Language.
    static void applyLanguage(TLinkSection& link, const LanguageRow& language);

    static void applySessionSlot(TLinkSection& link, int sessionId) { link.SessionId = sessionId; }
    static void applyPrinter(TLinkSection& link, int printerIndex);
};

} // namespace vm::shell
