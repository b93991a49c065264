#include "languages/LanguageTableWriter.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <map>
#include <set>

namespace vm::forms {

TableDef LanguageTableWriter::tableDef(const std::string& tableName) {
    TableDef def;
    def.name = tableName;
    def.fields = {
        {"FormName", FieldType::Text, 40, true},      {"ComponentName", FieldType::Text, 40, true},
        {"Caption", FieldType::Text, 255, false},     {"Hint", FieldType::Text, 255, false},
        {"Lines", FieldType::Memo, 240, false},       {"IsMemo", FieldType::Boolean, 0, false},
        {"IsDBGrid", FieldType::Boolean, 0, false},   {"IsRadioGroup", FieldType::Boolean, 0, false},
        {"IsCombobox", FieldType::Boolean, 0, false}, {"IsCheckList", FieldType::Boolean, 0, false},
    };
    def.primaryKey = {"FormName", "ComponentName"};
    return def;
}

void LanguageTableWriter::checkComplete(const std::vector<LanguageSource>& sources) {
    std::set<std::string> languages;
    std::map<std::string, std::map<std::string, const LanguageSource*>> byStem; // stem -> lang -> source
    for (const auto& s : sources) {
        languages.insert(s.lang);
        auto& slot = byStem[s.tableName().substr(0, s.tableName().size() - s.lang.size())][s.lang];
        if (slot) throw LanguageSourceError(s.fileName + ": same table as " + slot->fileName);
        slot = &s;
    }
    for (const auto& [stem, langs] : byStem) {
        for (const auto& lang : languages)
            if (!langs.count(lang))
                throw LanguageSourceError("stem " + stem + ": no " + lang + " source (" +
                                          langs.begin()->second->fileName + " has no counterpart)");
        // Every key of every language must be in every other language.
        for (const auto& [langA, a] : langs) {
            for (const auto& [langB, b] : langs) {
                if (langA == langB) continue;
                std::set<std::pair<std::string, std::string>> keysB;
                for (const auto& r : b->rows)
                    keysB.insert({r.form, r.component});
                for (const auto& r : a->rows)
                    if (!keysB.count({r.form, r.component}))
                        throw LanguageSourceError("stem " + stem + ": form " + r.form + ", component " +
                                                  r.component + " is in " + langA + " (" + a->fileName + ":" +
                                                  std::to_string(r.sourceLine) + ") but not in " + langB);
            }
        }
    }
}

void LanguageTableWriter::write(Database& db, const std::vector<LanguageSource>& sources) {
    for (const auto& s : sources)
        db.createTable(tableDef(s.tableName()), /*replace=*/true);
    Transaction tx(db);
    for (const auto& s : sources) {
        Cursor c(db, s.tableName());
        for (const auto& r : s.rows) {
            std::string lines;
            for (std::size_t i = 0; i < r.lines.size(); ++i) {
                if (i) lines += '\n';
                lines += r.lines[i];
            }
            c.insert();
            c.set("FormName", r.form);
            c.set("ComponentName", r.component);
            c.set("Caption", r.caption);
            c.set("Hint", r.hint);
            c.set("Lines", lines);
            c.set("IsMemo", r.isMemo);
            c.set("IsDBGrid", r.isDBGrid);
            c.set("IsRadioGroup", r.isRadioGroup);
            c.set("IsCombobox", r.isCombobox);
            c.set("IsCheckList", r.isCheckList);
            c.post();
        }
    }
    tx.commit();
}

} // namespace vm::forms
