#pragma once
#include <memory>
#include <stdexcept>
#include <string>

namespace vm {
class Database;
}

namespace vm::admin {

// A private copy of the database of a directory, taken through a read-only
// connection, so that reading never writes the original: a read-only copy of
// a company can be checked, and a file that is not a database (an empty one
// included) is refused instead of being turned into an empty database. The
// copy lives in a temporary directory removed with this object.
class ReadOnlyCopy {
public:
    // Throws NotADatabase when the directory holds no database file or the
    // file is not a database; std::runtime_error when it cannot be read.
    explicit ReadOnlyCopy(const std::string& directory);
    ~ReadOnlyCopy();
    ReadOnlyCopy(const ReadOnlyCopy&) = delete;
    ReadOnlyCopy& operator=(const ReadOnlyCopy&) = delete;

    Database& db() { return *db_; }

    struct NotADatabase : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

private:
    std::string temp_;
    std::unique_ptr<Database> db_;
};

} // namespace vm::admin
