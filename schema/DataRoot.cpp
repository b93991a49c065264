#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Creation.h"
#include "schema/Schema.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vm::schema {

std::string dataDirOf(const std::string& root) {
    // On a server the data root is the schema "data" and company N the
    // schema "dataN" of the database the URI names.
    if (Database::isServerLocation(root)) return root.substr(0, root.find('#')) + "#data";
    std::string r = root;
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    return r + "/Valmorand/data";
}

std::string companyDirOf(const std::string& dataDir, int company) {
    return dataDir + std::to_string(company);
}

std::string workTableName(std::string_view stem, int sessionId) {
    if (sessionId < 0) throw SchemaError("session number " + std::to_string(sessionId) + " is not valid");
    return std::string(stem) + std::to_string(sessionId);
}

void fillBlank(Cursor& cursor) {
    const auto& fields = cursor.def().fields;
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        switch (fields[static_cast<std::size_t>(i)].type) {
        case FieldType::Text:
        case FieldType::Memo:
            cursor.set(i, Value(std::string()));
            break;
        case FieldType::Int16:
        case FieldType::Int32:
            cursor.set(i, Value(0));
            break;
        case FieldType::Float:
            cursor.set(i, Value(0.0));
            break;
        case FieldType::Money:
            cursor.set(i, Value(Money()));
            break;
        case FieldType::Boolean:
            cursor.set(i, Value(false));
            break;
        default:
            break; // dates, stamps, binaries and auto-increments stay blank
        }
    }
}

bool isDataRoot(const std::string& dataDir) {
    std::error_code ec;
    if (!Database::isServerLocation(dataDir) &&
        !fs::is_regular_file(fs::path(dataDir) / Database::kFileName, ec))
        return false;
    Database db(dataDir);
    return db.tableExists("comp") && db.tableExists("user");
}

namespace {

void insertRow(Database& db, const std::string& table,
               const std::vector<std::pair<const char*, Value>>& values) {
    Cursor c(db, table);
    c.insert();
    fillBlank(c);
    for (const auto& [field, v] : values)
        c.set(field, v);
    c.post();
}

// Every table and row of a new data root, in one transaction.
void fillDataRoot(Database& db, const std::vector<UserRecord>& users) {
    Transaction tx(db);
    for (const auto& t : systemTables())
        db.createTable(t);
    for (const auto& t : templateTables())
        db.createTable(t);
    for (int s = 0; s < kSessionSlots; ++s) {
        insertRow(db, "session", {{"Session_id", s}, {"Session_lock", false}});
        insertRow(db, "virmem", {{"Session_id", s}, {"Session_lock", false}});
    }
    insertRow(db, "languages", {{"LangKey", 1}, {"LangCode", "en"}, {"LangName", "English"}});
    insertRow(db, "languages", {{"LangKey", 2}, {"LangCode", "fr"}, {"LangName", "Français"}});
    for (const auto& u : users)
        addUser(db, u);
    tx.commit();
}

} // namespace

void createDataRoot(const std::string& dataDir, const std::vector<UserRecord>& users) {
    if (dataDir.empty()) throw SchemaError("no data directory given");
    if (Database::isServerLocation(dataDir)) {
        // The server's DDL is transactional: the data root appears whole at
        // the commit, or a creation cut short leaves no table at all.
        CreationLock lock(dataDir);
        Database db(dataDir);
        if (!db.tableNames().empty()) throw SchemaError(dataDir + " already holds a database");
        fillDataRoot(db, users);
        return;
    }
    const fs::path dir(dataDir);
    CreationLock lock(dataDir);
    // Whether the directory is made here is what mkdir says, under the lock:
    // only what this call made is removed on failure.
    std::error_code ec;
    const bool made = fs::create_directory(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        lock.discardOnRelease();
        throw SchemaError(fs::exists(dir, ec) ? dataDir + " is not a directory"
                                              : "cannot create the directory " + dataDir);
    }
    if (!made && fs::exists(dir / Database::kFileName, ec)) {
        detail::clearUnfinished(dataDir); // the database is moved in last: it is whole
        throw SchemaError(dataDir + " already holds a database");
    }
    detail::clearUnfinished(dataDir); // left by a creation that was cut short
    try {
        detail::buildInPlace(dataDir, [&](Database& db) { fillDataRoot(db, users); });
        detail::clearUnfinished(dataDir);
    } catch (...) {
        if (made) {
            fs::remove_all(dir, ec);
            lock.discardOnRelease();
        } else {
            detail::clearUnfinished(dataDir);
        }
        throw;
    }
}

void addUser(Database& dataRoot, const UserRecord& user) {
    std::string password = user.password;
    std::transform(password.begin(), password.end(), password.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    if (password.empty() || user.code.empty() || user.name.empty())
        throw SchemaError("a user needs a password, a code and a name");
    insertRow(dataRoot, "user",
              {{"User_password", password},
               {"User_code", user.code},
               {"User_name", user.name},
               {"User_detail", user.detail},
               {"User_language", user.language},
               {"User_company", user.company},
               {"User_printer", user.printer},
               {"User_security", user.rights.bytes()}});
}

std::vector<UserRecord> standardUsers() {
    return {UserRecord{"ADMIN", "ADMIN", "Administrator", 0, 1, 1, "", UserRights::all()},
            UserRecord{"CLERK", "CLERK", "Counter Clerk", 0, 1, 1, "",
                       UserRights().allowGroup(UserRights::Receivables, UserRights::Transactions)}};
}

} // namespace vm::schema
