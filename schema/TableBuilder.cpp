#include "schema/TableBuilder.h"

namespace vm::schema {

TableBuilder::TableBuilder(std::string tableName) {
    def_.name = std::move(tableName);
}

TableBuilder& TableBuilder::field(std::string_view name, FieldType type, int size, bool required) {
    def_.fields.push_back(FieldDef{std::string(name), type, size, required});
    return *this;
}

TableBuilder& TableBuilder::text(std::string_view name, int size, bool required) {
    return field(name, FieldType::Text, size > 0 ? size : 20, required);
}
TableBuilder& TableBuilder::int16(std::string_view name, bool required) {
    return field(name, FieldType::Int16, 0, required);
}
TableBuilder& TableBuilder::int32(std::string_view name, bool required) {
    return field(name, FieldType::Int32, 0, required);
}
TableBuilder& TableBuilder::flt(std::string_view name) {
    return field(name, FieldType::Float);
}
TableBuilder& TableBuilder::money(std::string_view name) {
    return field(name, FieldType::Money);
}
TableBuilder& TableBuilder::date(std::string_view name) {
    return field(name, FieldType::Date);
}
TableBuilder& TableBuilder::dateTime(std::string_view name) {
    return field(name, FieldType::DateTime);
}
TableBuilder& TableBuilder::time(std::string_view name) {
    return field(name, FieldType::Time);
}
TableBuilder& TableBuilder::boolean(std::string_view name) {
    return field(name, FieldType::Boolean);
}
TableBuilder& TableBuilder::memo(std::string_view name, int keptInRecord) {
    return field(name, FieldType::Memo, keptInRecord);
}
TableBuilder& TableBuilder::blob(std::string_view name, int size) {
    return field(name, FieldType::Blob, size);
}
TableBuilder& TableBuilder::bytes(std::string_view name, int size) {
    return field(name, FieldType::Bytes, size);
}
TableBuilder& TableBuilder::autoInc(std::string_view name) {
    return field(name, FieldType::AutoInc);
}

TableBuilder& TableBuilder::series(FieldType type, std::string_view prefix, int first, int last, int size,
                                   std::string_view suffix) {
    if (type == FieldType::Text && size <= 0) size = 20;
    for (int n = first; n <= last; ++n)
        field(std::string(prefix) + std::to_string(n) + std::string(suffix), type, size);
    return *this;
}

TableBuilder& TableBuilder::each(int first, int last,
                                 const std::function<void(TableBuilder&, const std::string&)>& declare) {
    for (int n = first; n <= last; ++n)
        declare(*this, std::to_string(n));
    return *this;
}

TableBuilder& TableBuilder::key(std::vector<std::string> fields) {
    def_.primaryKey = std::move(fields);
    return *this;
}

TableBuilder& TableBuilder::index(std::string name, std::vector<std::string> fields, bool unique) {
    def_.indexes.push_back(IndexDef{std::move(name), std::move(fields), unique});
    return *this;
}

} // namespace vm::schema
