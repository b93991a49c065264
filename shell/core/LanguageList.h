#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::shell {

struct LanguageRow {
    int key = 0;      // the session's Language
    std::string code; // as stored; its first two characters are the LangCode
    std::string name; // caption of the Options/Language entry

    // Only the first two characters name the language tables.
    std::string shortCode() const { return code.substr(0, 2); }
    // Name of the Options/Language entry.
    std::string entryName() const { return "MenuItem" + shortCode(); }
};

// The languages offered under Options/Language (languages.db).
class LanguageList {
public:
    static std::vector<LanguageRow> load(Database& dataRoot);
    static std::optional<LanguageRow> byKey(const std::vector<LanguageRow>& rows, int key);
    static std::optional<LanguageRow> byName(const std::vector<LanguageRow>& rows, const std::string& name);
    // The LangCode of a language id: the first two characters of its code,
    // "en" when the table does not have it.
    static std::string codeFor(const std::vector<LanguageRow>& rows, int key);
};

} // namespace vm::shell
