#include "common/core/LocalFiles.h"

#include "engine/Database.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace vm::core {

std::string localFilesDir(const std::string& location) {
    if (!Database::isServerLocation(location)) return location;
    const std::size_t hash = location.find('#');
    const std::string server = location.substr(0, hash);
    std::string schema = hash == std::string::npos ? "data" : location.substr(hash + 1);
    for (char& c : schema)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
    // The address may carry a password: only its hash names the folder.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : server)
        h = (h ^ c) * 1099511628211ull;
    static const char* digits = "0123456789abcdef";
    std::string tag;
    for (int i = 15; i >= 0; --i)
        tag += digits[(h >> (4 * i)) & 15];

    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        base = x;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = ".";
    const std::filesystem::path dir = std::filesystem::path(base) / "Valmorand" / ("server-" + tag) / schema;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir.string();
}

} // namespace vm::core
