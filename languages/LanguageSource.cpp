#include "languages/LanguageSource.h"

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace vm::forms {

namespace {

constexpr std::size_t kNameSize = 40;
constexpr std::size_t kTextSize = 255;

std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

// A trimmed value; double quotes around it keep its blanks.
std::string unquote(std::string_view raw) {
    std::string v = trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// Characters, not bytes: the text fields are sized in characters.
std::size_t utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool validName(const std::string& s) {
    if (s.empty() || s.size() > kNameSize) return false;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '_')) return false;
    return true;
}

} // namespace

LanguageSource LanguageSource::parse(std::string_view text, const std::string& fileName) {
    LanguageSource src;
    src.fileName = fileName;
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::string> keysOfRow;
    LanguageRow* row = nullptr;
    bool inLines = false;
    int lineNo = 0;

    auto fail = [&](const std::string& what) {
        throw LanguageSourceError(fileName + ":" + std::to_string(lineNo) + ": " + what);
    };

    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (trim(line).empty()) {
            inLines = false;
            if (end == text.size()) break;
            continue;
        }
        if (line.front() == '#') continue;

        if (line.front() == ' ' || line.front() == '\t') {
            if (!inLines) fail("indented line outside a lines list");
            row->lines.push_back(unquote(line));
            continue;
        }
        inLines = false;

        if (line.front() == '[') {
            std::string head = trim(line);
            if (head.back() != ']') fail("a record header is [FormName.ComponentName]");
            head = head.substr(1, head.size() - 2);
            auto dot = head.find('.');
            if (dot == std::string::npos) fail("a record header is [FormName.ComponentName]");
            LanguageRow r;
            r.form = trim(head.substr(0, dot));
            r.component = trim(head.substr(dot + 1));
            r.sourceLine = lineNo;
            if (!validName(r.form) || !validName(r.component))
                fail("form and component names are letters, digits and '_', at most 40 characters");
            if (!seen.insert({r.form, r.component}).second)
                fail("duplicate record " + r.form + "." + r.component);
            src.rows.push_back(std::move(r));
            row = &src.rows.back();
            keysOfRow.clear();
            continue;
        }

        auto eq = line.find('=');
        if (eq == std::string_view::npos) fail("expected key = value");
        if (!row) fail("a value before the first [FormName.ComponentName] header");
        std::string key = trim(line.substr(0, eq));
        std::string_view rawValue = line.substr(eq + 1);
        if (!keysOfRow.insert(key).second) fail("'" + key + "' given twice");

        if (key == "caption") {
            row->caption = unquote(rawValue);
            if (utf8Length(row->caption) > kTextSize) fail("caption longer than 255 characters");
        } else if (key == "hint") {
            row->hint = unquote(rawValue);
            if (utf8Length(row->hint) > kTextSize) fail("hint longer than 255 characters");
        } else if (key == "kind") {
            std::string kind = trim(rawValue);
            if (kind == "memo")
                row->isMemo = true;
            else if (kind == "grid")
                row->isDBGrid = true;
            else if (kind == "radio")
                row->isRadioGroup = true;
            else if (kind == "combo")
                row->isCombobox = true;
            else if (kind == "checklist")
                row->isCheckList = true;
            else
                fail("kind is one of memo, grid, radio, combo, checklist");
        } else if (key == "lines") {
            if (!trim(rawValue).empty()) fail("the items of lines go on the following indented lines");
            inLines = true;
        } else {
            fail("unknown key '" + key + "' (caption, hint, kind, lines)");
        }
    }
    return src;
}

LanguageSource LanguageSource::load(const std::filesystem::path& file) {
    // "<stem>.<lang>.txt"; the stem may itself hold a dot.
    std::string name = file.filename().string();
    const std::string suffix = ".txt";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        throw LanguageSourceError(file.string() + ": a language source is named <stem>.<lang>.txt");
    std::string base = name.substr(0, name.size() - suffix.size());
    auto dot = base.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == base.size())
        throw LanguageSourceError(file.string() + ": a language source is named <stem>.<lang>.txt");

    std::ifstream in(file, std::ios::binary);
    if (!in) throw LanguageSourceError(file.string() + ": cannot be read");
    std::ostringstream buf;
    buf << in.rdbuf();
    LanguageSource src = parse(buf.str(), file.string());
    src.stem = base.substr(0, dot);
    src.lang = base.substr(dot + 1);
    return src;
}

std::string LanguageSource::tableName() const {
    std::string t = stem;
    auto dot = t.find('.');
    if (dot != std::string::npos) t.erase(dot, 1);
    return t + lang;
}

} // namespace vm::forms
