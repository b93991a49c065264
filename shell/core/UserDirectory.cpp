#include "shell/core/UserDirectory.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <QString>

namespace vm::shell {
namespace {

UserRow readUser(const Cursor& c) {
    UserRow u;
    u.password = c.str("User_password");
    u.code = c.str("User_code");
    u.name = c.str("User_name");
    u.detail = static_cast<int>(c.integer("User_detail"));
    u.language = static_cast<int>(c.integer("User_language"));
    u.company = static_cast<int>(c.integer("User_company"));
    u.printer = c.str("User_printer");
    // A short or missing field reads as no rights at all.
    u.rights = schema::UserRights::fromBytes(c.value("User_security").asBytes());
    return u;
}

} // namespace

std::string UserDirectory::upperCase(const std::string& text) {
    return QString::fromStdString(text).toUpper().toStdString();
}

int UserDirectory::count() {
    Cursor c(db_, "user", true);
    return static_cast<int>(c.recordCount());
}

std::optional<UserRow> UserDirectory::first() {
    Cursor c(db_, "user", true);
    if (!c.first()) return std::nullopt;
    return readUser(c);
}

std::optional<UserRow> UserDirectory::findByPassword(const std::string& typed) {
    const std::string key = upperCase(typed);
    if (key.empty()) return std::nullopt;
    Cursor c(db_, "user", true);
    if (!c.findKey({Value(key)})) return std::nullopt;
    return readUser(c);
}

} // namespace vm::shell
