#include "tools/ReadOnlyCopy.h"

#include "engine/Database.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace vm::admin {
namespace {

// A file name as a URI path: everything but plain characters %-escaped.
std::string uriPath(const std::string& path) {
    std::string out;
    for (unsigned char ch : path) {
        if (std::isalnum(ch) || ch == '/' || ch == '-' || ch == '_' || ch == '.') {
            out += static_cast<char>(ch);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", ch);
            out += buf;
        }
    }
    return out;
}

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close(db); }
};

} // namespace

ReadOnlyCopy::ReadOnlyCopy(const std::string& directory) {
    const fs::path file = fs::path(directory) / Database::kFileName;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) throw NotADatabase(directory + " holds no database");
    {
        char header[16] = {};
        std::ifstream in(file, std::ios::binary);
        in.read(header, sizeof header);
        if (in.gcount() != sizeof header || std::string(header, 15) != "SQLite format 3")
            throw NotADatabase(file.string() + " is not a database (" +
                               std::to_string(fs::file_size(file, ec)) + " bytes)");
    }

    // While another connection is open the log file exists and the snapshot
    // must go through the shared index; otherwise nobody is writing and the
    // file is read as it lies, which needs no write access to its directory.
    const bool inUse = fs::exists(fs::path(directory) / (std::string(Database::kFileName) + "-wal"), ec);
    const std::string uri =
        "file:" + uriPath(fs::absolute(file, ec).string()) + (inUse ? "?mode=ro" : "?immutable=1");
    Connection src, dst;
    if (sqlite3_open_v2(uri.c_str(), &src.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.string() + ": " + sqlite3_errmsg(src.db));
    sqlite3_busy_timeout(src.db, 30000);

    std::string pattern = (fs::temp_directory_path() / "vmcheck.XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    temp_ = pattern;
    try {
        const std::string copy = temp_ + "/" + Database::kFileName;
        if (sqlite3_open_v2(copy.c_str(), &dst.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error("cannot create " + copy);
        sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src.db, "main");
        if (!b) throw std::runtime_error("cannot read " + file.string() + ": " + sqlite3_errmsg(dst.db));
        const int rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            throw std::runtime_error("cannot read " + file.string() + ": " + sqlite3_errstr(rc));
        sqlite3_close(dst.db);
        dst.db = nullptr;
        db_ = std::make_unique<Database>(temp_);
    } catch (...) {
        fs::remove_all(temp_, ec);
        throw;
    }
}

ReadOnlyCopy::~ReadOnlyCopy() {
    db_.reset();
    std::error_code ec;
    fs::remove_all(temp_, ec);
}

} // namespace vm::admin
