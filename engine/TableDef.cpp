#include "engine/TableDef.h"

#include <strings.h>

namespace vm {

namespace {
bool iequal(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}
} // namespace

const char* fieldTypeName(FieldType t) {
    switch (t) {
    case FieldType::Text:
        return "text";
    case FieldType::Int16:
        return "int16";
    case FieldType::Int32:
        return "int32";
    case FieldType::Float:
        return "float";
    case FieldType::Money:
        return "money";
    case FieldType::Date:
        return "date";
    case FieldType::DateTime:
        return "datetime";
    case FieldType::Time:
        return "time";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::Memo:
        return "memo";
    case FieldType::Blob:
        return "blob";
    case FieldType::Bytes:
        return "bytes";
    case FieldType::AutoInc:
        return "autoinc";
    }
    return "?";
}

const FieldDef* TableDef::field(std::string_view fieldName) const {
    int i = fieldIndex(fieldName);
    return i < 0 ? nullptr : &fields[static_cast<std::size_t>(i)];
}

int TableDef::fieldIndex(std::string_view fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (iequal(fields[i].name, fieldName)) return static_cast<int>(i);
    return -1;
}

const IndexDef* TableDef::index(std::string_view indexName) const {
    for (const auto& ix : indexes)
        if (iequal(ix.name, indexName)) return &ix;
    return nullptr;
}

} // namespace vm
