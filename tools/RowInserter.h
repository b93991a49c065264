#pragma once
#include "engine/Cursor.h"
#include "schema/Schema.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace vm::admin {

// Inserts rows into one table through one open cursor, setting a fixed list
// of fields in order; the other fields get their empty values. Field
// positions are looked up once, which matters when filling large ledgers.
class RowInserter {
public:
    RowInserter(Database& db, const char* table, std::initializer_list<const char*> fields)
        : RowInserter(db, table, std::vector<std::string>(fields.begin(), fields.end())) {}
    // Field names made at run time (tables whose fields share a prefix).
    RowInserter(Database& db, const char* table, const std::vector<std::string>& fields)
        : cursor_(db, table) {
        for (const auto& f : fields)
            index_.push_back(cursor_.fieldIndex(f));
        // Fields left out get the value fillBlank would give them; the engine
        // already starts text as "", so only numbers and flags need it.
        static const Value zero{0}, zeroFloat{0.0}, zeroMoney{Money()}, no{false};
        const auto& defs = cursor_.def().fields;
        for (int i = 0; i < static_cast<int>(defs.size()); ++i) {
            if (std::find(index_.begin(), index_.end(), i) != index_.end()) continue;
            switch (defs[static_cast<std::size_t>(i)].type) {
            case FieldType::Int16:
            case FieldType::Int32:
                blanks_.emplace_back(i, zero);
                break;
            case FieldType::Float:
                blanks_.emplace_back(i, zeroFloat);
                break;
            case FieldType::Money:
                blanks_.emplace_back(i, zeroMoney);
                break;
            case FieldType::Boolean:
                blanks_.emplace_back(i, no);
                break;
            default:
                break;
            }
        }
    }

    void add(std::initializer_list<Value> values) {
        cursor_.insert();
        for (const auto& [field, v] : blanks_)
            cursor_.set(field, v);
        std::size_t k = 0;
        for (const auto& v : values)
            cursor_.set(index_.at(k++), v);
        cursor_.post();
        ++count_;
    }

    std::int64_t count() const { return count_; }
    // The row just added (its auto-increment values, for instance).
    const Cursor& cursor() const { return cursor_; }

private:
    Cursor cursor_;
    std::vector<int> index_;
    std::vector<std::pair<int, Value>> blanks_;
    std::int64_t count_ = 0;
};

} // namespace vm::admin
