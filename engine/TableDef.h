#pragma once
#include <string>
#include <vector>

namespace vm {

enum class FieldType {
    Text, // text n (n characters; 20 when declared without a size)
    Int16,
    Int32,
    Float, // double precision
    Money, // exact, ten-thousandths
    Date,
    DateTime,
    Time,
    Boolean,
    Memo,    // variable-length text; size = the part kept in the record (informative)
    Blob,    // binary; size informative
    Bytes,   // fixed-length binary of size bytes
    AutoInc, // int32 assigned by the engine on insert
};

const char* fieldTypeName(FieldType t);

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0; // characters for Text, bytes for Bytes, informative otherwise
    bool required = false;
};

// A named secondary index, or the primary key (name empty, always unique).
struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool unique = false;
};

struct TableDef {
    std::string name;                    // file stem, e.g. "cli"
    std::vector<FieldDef> fields;        // in their declared order
    std::vector<std::string> primaryKey; // empty: no primary key (rows in insertion order)
    std::vector<IndexDef> indexes;       // named secondary indexes
    // A session's work table: written by that session alone, so that its
    // writes need neither the database's write lock nor record locks, and
    // its rows need not outlive a crash of the server that keeps them.
    bool work = false;

    const FieldDef* field(std::string_view fieldName) const; // case-insensitive; nullptr when absent
    int fieldIndex(std::string_view fieldName) const;        // -1 when absent
    const IndexDef* index(std::string_view indexName) const; // case-insensitive; nullptr when absent
};

} // namespace vm
