#pragma once
// TableDef.h before Value.h: its FieldType::Bytes would otherwise shadow vm::Bytes.
#include "engine/TableDef.h"
#include "schema/UserRights.h"

#include <optional>
#include <string>

namespace vm {
class Database;
}

namespace vm::shell {

// One row of user.db as the shell uses it.
struct UserRow {
    std::string password;
    std::string code;
    std::string name;
    int detail = 0;
    int language = 0; // 0: keep the workstation's language
    int company = 1;
    std::string printer;
    schema::UserRights rights;
};

// Look-ups in the user table of the data root, which the shell only reads.
// Users are known by their password alone: it is the table's key.
class UserDirectory {
public:
    explicit UserDirectory(Database& dataRoot) : db_(dataRoot) {}

    int count();
    // The first row in key order, for the single-user start without dialog.
    std::optional<UserRow> first();
    // The row whose key is the typed password in upper case, as the login
    // field shows it.
    std::optional<UserRow> findByPassword(const std::string& typed);

    // The dialog is needed when DisplayPW forces it or there are two users
    // or more.
    static bool needsDialog(int userCount, bool forced) { return forced || userCount >= 2; }
    // Letters in upper case (non-ASCII letters included), the rest kept.
    static std::string upperCase(const std::string& text);

private:
    Database& db_;
};

} // namespace vm::shell
