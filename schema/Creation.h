#pragma once
#include <functional>
#include <string>

namespace vm {
class Database;
}

// How a data root or a company database comes into being so that a process
// killed at any moment leaves nothing that blocks a retry: the database is
// built in the folder ".unfinished" inside its directory and moved into place
// only when complete. The folder stays until the creation is over (for a
// company: until it is listed), so that a folder found by a later creation
// marks one that was cut short. Callers hold the CreationLock.
namespace vm::schema::detail {

constexpr const char* kUnfinished = ".unfinished";

// Builds the database with `build` (which commits its own transaction) and
// moves the finished file into `dir`, never over an existing one.
void buildInPlace(const std::string& dir, const std::function<void(Database&)>& build);
void clearUnfinished(const std::string& dir);
bool hasUnfinished(const std::string& dir);
// The database file, its logs and its record-lock file.
void removeDatabaseFiles(const std::string& dir);

} // namespace vm::schema::detail
