#include "common/forms/LanguageTable.h"

#include "common/forms/LanguageDirectory.h"
#include "engine/Cursor.h"
#include "engine/Session.h"

namespace vm::forms {

LanguageTable::LanguageTable(const std::string& stem, const std::string& langCode)
    : LanguageTable(languagesDirectory(), stem, langCode) {}

LanguageTable::LanguageTable(const std::string& languagesDir, const std::string& stem,
                             const std::string& langCode)
    : table_(languageTableName(stem, langCode)) {
    cursor_ = std::make_unique<Cursor>(Session::instance().database(languagesDir), table_, /*readOnly=*/true);
}

LanguageTable::~LanguageTable() = default;

std::optional<LanguageEntry> LanguageTable::find(const std::string& form, const std::string& component) {
    if (!cursor_->findKey({Value(form), Value(component)})) return std::nullopt;
    LanguageEntry e;
    e.caption = cursor_->str("Caption");
    e.hint = cursor_->str("Hint");
    std::string lines = cursor_->str("Lines");
    // Sources written on Windows may carry CR LF line ends.
    std::size_t pos = 0;
    while (!lines.empty() && pos <= lines.size()) {
        std::size_t end = lines.find('\n', pos);
        if (end == std::string::npos) end = lines.size();
        std::string line = lines.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        e.lines.push_back(std::move(line));
        pos = end + 1;
    }
    e.isMemo = cursor_->boolean("IsMemo");
    e.isDBGrid = cursor_->boolean("IsDBGrid");
    e.isRadioGroup = cursor_->boolean("IsRadioGroup");
    e.isCombobox = cursor_->boolean("IsCombobox");
    e.isCheckList = cursor_->boolean("IsCheckList");
    return e;
}

} // namespace vm::forms
