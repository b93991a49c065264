#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vm::forms {

// One row of a language table: the texts of one component of one form.
struct LanguageRow {
    std::string form;
    std::string component;
    std::string caption;
    std::string hint;
    std::vector<std::string> lines;
    bool isMemo = false;
    bool isDBGrid = false;
    bool isRadioGroup = false;
    bool isCombobox = false;
    bool isCheckList = false;
    int sourceLine = 0; // where the record starts in its source file
};

// A fault in a source file or between the sources of one stem; the message
// names the file and line, or the stem, form and component.
class LanguageSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One source file `<stem>.<lang>.txt`: the rows of table `<stem><lang>`.
//
// The format, line by line (UTF-8, diff-friendly):
//   # comment                      only in the first column
//   [FormName.ComponentName]       starts a record; the form's own caption is
//                                  the record [FormName.FormName]
//   caption = text                 trimmed; write "text " in double quotes to
//   hint = text                    keep leading or trailing blanks
//   kind = memo|grid|radio|combo|checklist
//   lines =                        followed by the items, one per indented
//     first item                   line (trimmed, quotes as above; "" is an
//     second item                  empty item); a blank line ends the list
class LanguageSource {
public:
    std::string fileName;
    std::string stem; // as in the file name, e.g. "MainMenu"
    std::string lang; // e.g. "en"
    std::vector<LanguageRow> rows;

    // Parses the text of a source. Throws LanguageSourceError.
    static LanguageSource parse(std::string_view text, const std::string& fileName);
    // Reads and parses a file named `<stem>.<lang>.txt`.
    static LanguageSource load(const std::filesystem::path& file);

    // The table name: the stem with its first "." removed, then the language.
    std::string tableName() const;
};

} // namespace vm::forms
