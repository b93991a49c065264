#pragma once
#include "languages/LanguageSource.h"

namespace vm {
class Database;
struct TableDef;
} // namespace vm

namespace vm::forms {

// Writing language tables into a languages database.
class LanguageTableWriter {
public:
    // The layout every language table has.
    static TableDef tableDef(const std::string& tableName);

    // Every stem must come in every language that any source uses, with the
    // same (form, component) keys. Throws LanguageSourceError naming the
    // stem, form and component of the first difference.
    static void checkComplete(const std::vector<LanguageSource>& sources);

    // Replaces the table of each source in `db`, all in one transaction.
    static void write(Database& db, const std::vector<LanguageSource>& sources);
};

} // namespace vm::forms
