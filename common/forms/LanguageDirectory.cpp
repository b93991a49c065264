#include "common/forms/LanguageDirectory.h"

#include "engine/Database.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vm::forms {

namespace fs = std::filesystem;

namespace {

fs::path programDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec);
    return exe.parent_path();
}

} // namespace

std::string languagesDirectory() {
    if (const char* env = std::getenv("VALMORAND_LANGUAGES"); env && *env)
        return fs::absolute(env).lexically_normal().string();

    std::error_code ec;
    fs::path besideCurrent = (fs::current_path(ec) / ".." / "languages").lexically_normal();
    if (!ec && fs::exists(besideCurrent / Database::kFileName, ec)) return besideCurrent.string();

    return (programDirectory() / ".." / "languages").lexically_normal().string();
}

std::string languageTableName(const std::string& stem, const std::string& langCode) {
    std::string name = stem;
    if (auto dot = name.find('.'); dot != std::string::npos) name.erase(dot, 1);
    return name + langCode;
}

} // namespace vm::forms
