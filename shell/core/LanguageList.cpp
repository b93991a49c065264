#include "shell/core/LanguageList.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::shell {

std::vector<LanguageRow> LanguageList::load(Database& dataRoot) {
    std::vector<LanguageRow> rows;
    Cursor c(dataRoot, "languages", true);
    for (bool ok = c.first(); ok; ok = c.next())
        rows.push_back({static_cast<int>(c.integer("LangKey")), c.str("LangCode"), c.str("LangName")});
    return rows;
}

std::optional<LanguageRow> LanguageList::byKey(const std::vector<LanguageRow>& rows, int key) {
    for (const auto& r : rows)
        if (r.key == key) return r;
    return std::nullopt;
}

std::optional<LanguageRow> LanguageList::byName(const std::vector<LanguageRow>& rows,
                                                const std::string& name) {
    for (const auto& r : rows)
        if (r.name == name) return r;
    return std::nullopt;
}

std::string LanguageList::codeFor(const std::vector<LanguageRow>& rows, int key) {
    const auto r = byKey(rows, key);
    return r ? r->shortCode() : std::string("en");
}

} // namespace vm::shell
