#pragma once
#include <QString>

#include <string>

namespace vm::forms {

// One column of a grid model: a field (or query column) and its title. The
// title is usually replaced by form translation (a grid row's lines).
struct GridColumn {
    std::string field;
    QString title;
};

} // namespace vm::forms
