#include "common/core/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace vm::core {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Values that would not survive the plain "name=value" form (surrounding
// blanks, line breaks, a leading quote) are written quoted with C escapes.
std::string encodeValue(std::string_view v) {
    const bool plain = !v.empty() && v.front() != ' ' && v.front() != '\t' && v.front() != '"' &&
                       v.back() != ' ' && v.back() != '\t' &&
                       v.find_first_of("\r\n") == std::string_view::npos;
    if (v.empty() || plain) return std::string(v);
    std::string out = "\"";
    for (char c : v) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string decodeValue(std::string_view raw) {
    std::string_view v = trim(raw);
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::string(v);
    v = v.substr(1, v.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        const char e = v[++i];
        switch (e) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            out += e;
        }
    }
    return out;
}

struct Line {
    enum Kind { Other, Section, Value } kind = Other;
    std::string text;  // the line as stored, without its line break
    std::string name;  // section or value name
    std::string value; // raw text after '='
};

Line parseLine(std::string text) {
    Line line;
    const std::string_view t = trim(text);
    if (!t.empty() && t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Section;
            line.name = std::string(trim(t.substr(1, close - 1)));
        }
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
        const std::size_t eq = t.find('=');
        if (eq != std::string_view::npos && eq > 0) {
            line.kind = Line::Value;
            line.name = std::string(trim(t.substr(0, eq)));
            line.value = std::string(t.substr(eq + 1));
        }
    }
    line.text = std::move(text);
    return line;
}

std::vector<Line> loadLines(const std::string& path) {
    std::vector<Line> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in) return lines;
    std::string text;
    bool first = true;
    while (std::getline(in, text)) {
        if (first && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        first = false;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        lines.push_back(parseLine(std::move(text)));
    }
    return lines;
}

// Index of the first value line of the section with that name, if any.
std::optional<std::size_t> findValue(const std::vector<Line>& lines, std::string_view section,
                                     std::string_view name) {
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        if (l.kind == Line::Section)
            inSection = equalsNoCase(l.name, section);
        else if (inSection && l.kind == Line::Value && equalsNoCase(l.name, name))
            return i;
    }
    return std::nullopt;
}

void checkName(std::string_view section, std::string_view name) {
    if (trim(section).empty() || section.find_first_of("]\r\n") != std::string_view::npos)
        throw std::invalid_argument("settings section name not allowed: \"" + std::string(section) + "\"");
    if (trim(name).empty() || trim(name) != name || name.find_first_of("=\r\n") != std::string_view::npos ||
        name.front() == '[' || name.front() == ';' || name.front() == '#')
        throw std::invalid_argument("settings value name not allowed: \"" + std::string(name) + "\"");
}

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::system_error(errno, std::generic_category(), what + " " + path);
}

class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& dir) {
        fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) fail("cannot open settings directory", dir);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fail("cannot lock settings directory", dir);
            }
        }
    }
    ~DirectoryLock() { ::close(fd_); } // closing releases the lock
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

private:
    int fd_ = -1;
};

void writeAtomically(const std::string& path, const std::string& content) {
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) fail("cannot create a file beside", path);
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    std::size_t done = 0;
    bool ok = ::fchmod(fd, mode) == 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = ok ? errno : saved;
        ::unlink(tmp.c_str());
        errno = err;
        fail("cannot write settings file", path);
    }
}

} // namespace

std::string SettingsStore::defaultPath() {
    if (const char* p = std::getenv(kPathVariable); p && *p) return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.config";
    else
        base = ".config";
    return base + "/Tarnwell/Tarnwell.ini";
}

std::string SettingsStore::read(std::string_view section, std::string_view name,
                                std::string_view defaultValue) const {
    const std::vector<Line> lines = loadLines(path_);
    if (const auto i = findValue(lines, section, name)) return decodeValue(lines[*i].value);
    return std::string(defaultValue);
}

bool SettingsStore::contains(std::string_view section, std::string_view name) const {
    return findValue(loadLines(path_), section, name).has_value();
}

std::vector<std::pair<std::string, std::string>> SettingsStore::values(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    bool inSection = false;
    for (const Line& l : loadLines(path_)) {
        if (l.kind == Line::Section) inSection = equalsNoCase(l.name, section);
        if (!inSection || l.kind != Line::Value) continue;
        bool seen = false;
        for (const auto& kv : out)
            seen = seen || equalsNoCase(kv.first, l.name);
        if (!seen) out.emplace_back(l.name, decodeValue(l.value));
    }
    return out;
}

void SettingsStore::write(std::string_view section, std::string_view name, std::string_view value) const {
    const std::string v(value);
    update(section, name, &v);
}

bool SettingsStore::remove(std::string_view section, std::string_view name) const {
    return update(section, name, nullptr);
}

bool SettingsStore::update(std::string_view section, std::string_view name, const std::string* value) const {
    checkName(section, name);
    const std::filesystem::path file(path_);
    std::filesystem::path dir = file.parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw std::system_error(ec, "cannot create settings directory " + dir.string());

    DirectoryLock lock(dir.string());
    std::vector<Line> lines = loadLines(path_);
    bool changed = false;
    if (!value) {
        bool inSection = false;
        for (auto it = lines.begin(); it != lines.end();) {
            if (it->kind == Line::Section) inSection = equalsNoCase(it->name, section);
            if (inSection && it->kind == Line::Value && equalsNoCase(it->name, name)) {
                it = lines.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
        if (!changed) return false;
    } else if (const auto found = findValue(lines, section, name)) {
        // The stored spelling of the name is kept, as the registry keeps it.
        Line& l = lines[*found];
        l = parseLine(l.name + "=" + encodeValue(*value));
    } else {
        Line added = parseLine(std::string(name) + "=" + encodeValue(*value));
        std::optional<std::size_t> header;
        for (std::size_t i = 0; i < lines.size() && !header; ++i)
            if (lines[i].kind == Line::Section && equalsNoCase(lines[i].name, section)) header = i;
        if (header) {
            // After the section's last value, ahead of blank lines and
            // comments that introduce the next section.
            std::size_t at = *header + 1;
            for (std::size_t i = *header + 1; i < lines.size() && lines[i].kind != Line::Section; ++i)
                if (lines[i].kind == Line::Value) at = i + 1;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
        } else {
            if (!lines.empty() && !trim(lines.back().text).empty()) lines.push_back(parseLine(""));
            lines.push_back(parseLine("[" + std::string(trim(section)) + "]"));
            lines.push_back(std::move(added));
        }
    }
    std::string content;
    for (const Line& l : lines)
        content += l.text + "\n";
    writeAtomically(path_, content);
    return true;
}

} // namespace vm::core
