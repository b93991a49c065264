#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Cursor;
}

namespace vm::forms {

// The texts of one component, as one row of a language table holds them.
struct LanguageEntry {
    std::string caption;
    std::string hint;
    std::vector<std::string> lines;
    bool isMemo = false;
    bool isDBGrid = false;
    bool isRadioGroup = false;
    bool isCombobox = false;
    bool isCheckList = false;
};

// One language table (`<stem><langCode>` in the languages directory), open
// read-only for look-ups by form and component name. For callers that
// translate something other than a widget tree (report labels, menus built at
// run time).
class LanguageTable {
public:
    // Opens the table through the program's engine session. Throws
    // vm::EngineError when the directory or the table cannot be opened.
    LanguageTable(const std::string& stem, const std::string& langCode);
    LanguageTable(const std::string& languagesDir, const std::string& stem, const std::string& langCode);
    ~LanguageTable();
    LanguageTable(const LanguageTable&) = delete;
    LanguageTable& operator=(const LanguageTable&) = delete;

    const std::string& tableName() const { return table_; }
    // The row (form, component), or nothing when the table has none.
    std::optional<LanguageEntry> find(const std::string& form, const std::string& component);

private:
    std::string table_;
    std::unique_ptr<Cursor> cursor_;
};

} // namespace vm::forms
