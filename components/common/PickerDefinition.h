#pragma once
#include <QString>

#include <string>
#include <vector>

namespace vm::components {

// What one picker lists: a table, its key (the value handed back), a second
// searchable field (the name or description) and the grid's columns. The
// first column is always the key.
struct PickerDefinition {
    struct Column {
        std::string field;
        QString english; // fallback titles when the language table has no row
        QString french;
        int widthChars = 10;
    };

    std::string formName;     // form name in the language tables, e.g. "TClientPicker"
    std::string table;        // table stem, e.g. "cli"
    bool systemTable = false; // in the data root (shared by all companies)
    std::string keyField;
    bool numericKey = false; // an int32 key, returned as a number
    bool uniqueKey = true;   // the key is the primary key (pages continue after the last key)
    std::string nameField;
    std::vector<Column> columns;
    QString englishCaption;
    QString frenchCaption;
};

} // namespace vm::components
