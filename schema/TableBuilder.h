#pragma once
#include "engine/TableDef.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::schema {

// Declares a table layout field by field, in the order the forms rely on.
// Text declared without a size holds 20 characters.
class TableBuilder {
public:
    explicit TableBuilder(std::string tableName);

    TableBuilder& text(std::string_view name, int size = 20, bool required = false);
    TableBuilder& int16(std::string_view name, bool required = false);
    TableBuilder& int32(std::string_view name, bool required = false);
    TableBuilder& flt(std::string_view name);
    TableBuilder& money(std::string_view name);
    TableBuilder& date(std::string_view name);
    TableBuilder& dateTime(std::string_view name);
    TableBuilder& time(std::string_view name);
    TableBuilder& boolean(std::string_view name);
    TableBuilder& memo(std::string_view name, int keptInRecord);
    TableBuilder& blob(std::string_view name, int size);
    TableBuilder& bytes(std::string_view name, int size);
    TableBuilder& autoInc(std::string_view name);
    TableBuilder& field(std::string_view name, FieldType type, int size = 0, bool required = false);

    // A numbered series: prefix + n + suffix for n = first..last, all of one
    // type ("Ctrl_pmt_name", 1, 10 gives Ctrl_pmt_name1 .. Ctrl_pmt_name10).
    TableBuilder& series(FieldType type, std::string_view prefix, int first, int last, int size = 0,
                         std::string_view suffix = {});
    // Interleaved series: calls `declare` with n for n = first..last, so that
    // several fields of one number stand together (Ctrl_curr1_name,
    // Ctrl_curr1_rate, Ctrl_curr1_sign, Ctrl_curr2_name, ...).
    TableBuilder& each(int first, int last,
                       const std::function<void(TableBuilder&, const std::string&)>& declare);

    TableBuilder& key(std::vector<std::string> fields);
    TableBuilder& index(std::string name, std::vector<std::string> fields, bool unique = false);

    const TableDef& def() const { return def_; }
    operator TableDef() const { return def_; } // NOLINT: builders read as table declarations

private:
    TableDef def_;
};

} // namespace vm::schema
