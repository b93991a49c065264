#include "engine/Session.h"

#include "engine/Backend.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/SqlUtil.h"

#include <filesystem>

namespace vm {

Session::Session() = default;
Session::~Session() {
    closeAll();
}

Session& Session::instance() {
    static Session s;
    return s;
}

void Session::setAlias(const std::string& alias, const std::string& directory) {
    aliases_[sql::lower(alias)] = directory;
}

bool Session::hasAlias(const std::string& alias) const {
    return aliases_.count(sql::lower(alias)) != 0;
}

std::string Session::aliasPath(const std::string& alias) const {
    auto it = aliases_.find(sql::lower(alias));
    if (it == aliases_.end()) throw EngineError(errc::kAliasNotFound, "Unknown alias: " + alias);
    return it->second;
}

Database& Session::database(const std::string& aliasOrDirectory) {
    auto it = aliases_.find(sql::lower(aliasOrDirectory));
    std::string dir = it != aliases_.end() ? it->second : aliasOrDirectory;
    if (dir.empty()) throw EngineError(errc::kDirectory, "No directory given for " + aliasOrDirectory);
    if (backend::isServerLocation(dir)) {
        auto dbIt = databases_.find(dir);
        if (dbIt == databases_.end()) dbIt = databases_.emplace(dir, std::make_unique<Database>(dir)).first;
        return *dbIt->second;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw EngineError(errc::kDirectory, "Directory does not exist: " + dir);
    std::string key = fs::weakly_canonical(fs::path(dir), ec).string();
    if (ec) key = dir;
    auto dbIt = databases_.find(key);
    if (dbIt != databases_.end()) return *dbIt->second;
    auto db = std::make_unique<Database>(key);
    Database& ref = *db;
    databases_.emplace(key, std::move(db));
    return ref;
}

void Session::closeAll() {
    databases_.clear();
}

} // namespace vm
