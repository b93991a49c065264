#pragma once
#include "engine/Cursor.h"
#include "schema/Schema.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vm::admin {

// Inserts rows into one table through one open cursor, setting a fixed list
// of fields in order; the other fields get their empty values. Field
// positions are looked up once, which matters when filling large ledgers.
class RowInserter {
public:
    RowInserter(Database& db, const char* table, std::initializer_list<const char*> fields) : cursor_(db, table)
    {
        for (const char* f : fields)
            index_.push_back(cursor_.fieldIndex(f));
        blanks_ = static_cast<int>(index_.size()) < cursor_.fieldCount();
    }

    void add(std::initializer_list<Value> values)
    {
        cursor_.insert();
        if (blanks_)
            schema::fillBlank(cursor_);
        std::size_t k = 0;
        for (const auto& v : values)
            cursor_.set(index_.at(k++), v);
        cursor_.post();
        ++count_;
    }

    std::int64_t count() const { return count_; }

private:
    Cursor cursor_;
    std::vector<int> index_;
    bool blanks_ = false;
    std::int64_t count_ = 0;
};

} // namespace vm::admin
