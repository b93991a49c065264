#pragma once
#include "engine/TableDef.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::admin {

// A Paradox table that cannot be read (its header, a data block, its memo
// file or its code page); the message names the table.
class ParadoxTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What an import found and did, table by table.
struct ParadoxImportReport {
    struct Table {
        std::string file;  // as found in the folder ("cli.DB")
        std::string table; // our name ("cli")
        std::int64_t rows = 0;
        std::vector<std::string> skippedFields; // "Cli_fidelity" or "Cli_code (type Logical, not Text)"
        std::vector<std::string> cutFields;     // "Cli_name: 2 values longer than 40 characters"
    };
    std::vector<Table> tables;
    std::vector<std::string> unknownTables; // files of tables we do not know, skipped
    std::int64_t rows = 0;
    std::int64_t moneyValues = 0;
    std::int64_t moneyRounded = 0; // money values that were not whole ten-thousandths
};

// The Paradox tables of a folder: every ".DB" file whose stem names one of
// `known`, with its ".MB" memo file when there is one. Opening reads every
// header, so a table that cannot be opened is refused before anything is
// written.
class ParadoxFolder {
public:
    ParadoxFolder(const std::string& folder, const std::vector<TableDef>& known);
    ~ParadoxFolder();
    ParadoxFolder(const ParadoxFolder&) = delete;
    ParadoxFolder& operator=(const ParadoxFolder&) = delete;

    const std::vector<std::string>& unknownTables() const { return unknown_; }
    std::int64_t totalRows() const;
    std::vector<std::string> tableNames() const;

    // Copies every table into `db` (which holds them all, empty but for the
    // rows that creating a company writes, which the imported rows replace)
    // field by field by name. The caller holds the transaction. progress gets
    // rows done and the total; returning false stops with std::runtime_error.
    // Throws ParadoxTableError naming the table that cannot be read.
    ParadoxImportReport copyInto(Database& db,
                                 const std::function<bool(std::int64_t, std::int64_t)>& progress = {});

private:
    struct Source;
    std::vector<Source*> sources_;
    std::vector<std::string> unknown_;
};

// The text of a Paradox table's code page (its header's DOS code page) in
// UTF-8: 1252 Windows Latin-1, 850 and 437 DOS, any other that iconv knows.
// Throws std::invalid_argument for a code page it cannot read.
std::string decodeCodePage(int codePage, const char* bytes, std::size_t size);

// Writes a table of ours as a Paradox table `path` (".DB", with its ".MB"
// memo file beside it when it has memo or binary fields) through pxlib's own
// writer, text in the given code page: the other direction, for checking the
// import against the rows it came from. At most maxRows rows (all when < 0);
// `adjust` may change a money or float value on its way out (a value with
// more decimals than ours, for instance) and `extraField`, when not empty,
// adds an alpha field of that name that no table of ours has, holding "x".
// Returns the rows written.
struct ParadoxExportOptions {
    int codePage = 1252;
    std::int64_t maxRows = -1;
    std::function<double(const std::string& field, std::int64_t row, double value)> adjust;
    std::string extraField;
};
std::int64_t exportParadoxTable(Database& db, const std::string& table, const std::string& path,
                                const ParadoxExportOptions& options = {});

// valmorand-admin import-paradox (tools/BatchCommand.h).
int importParadoxCommand(const std::vector<std::string>& args);

} // namespace vm::admin
