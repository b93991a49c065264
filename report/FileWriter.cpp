#include "report/FileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vm::report {

bool FileWriter::writeAll(const std::string& path, std::string_view data, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (path.empty()) return fail("no file name");
    std::string tmp = path + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return fail(path + ": " + std::strerror(errno));
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return fail(path + ": write failed");
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return fail(path + ": " + ec.message());
    }
    return true;
}

} // namespace vm::report
