#pragma once
#include <map>
#include <memory>
#include <string>

namespace vm {

class Database;

// An engine session: the named aliases and the open databases of one user of
// the engine. Record locks belong to the session that took them, so two
// sessions in one process meet each other's locks like two workstations.
// Not thread-safe; one session is used from one thread.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The session of this program (or of this module library).
    static Session& instance();

    // Binds an alias to a directory ("path=" of the alias). Re-pointing an
    // alias affects tables opened afterwards; open ones keep their directory.
    void setAlias(const std::string& alias, const std::string& directory);
    bool hasAlias(const std::string& alias) const;
    std::string aliasPath(const std::string& alias) const; // throws kAliasNotFound

    // The database of an alias (when `aliasOrDirectory` names one,
    // case-insensitively) or of a directory path. Opened on first use: the
    // directory must exist; its file valmorand.sqlite is created when missing.
    Database& database(const std::string& aliasOrDirectory);
    // Closes every database of the session, releasing its locks.
    void closeAll();

private:
    std::map<std::string, std::string> aliases_;                 // lower-case alias -> directory
    std::map<std::string, std::unique_ptr<Database>> databases_; // canonical directory -> db
};

} // namespace vm
