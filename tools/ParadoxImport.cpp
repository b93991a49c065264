#include "tools/ParadoxImport.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Value.h"

#include <iconv.h>
// pxlib's header declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace vm::admin {
namespace {

// Paradox dates count days from 1 January of year 1 (day 1); ours from
// 1970-01-01 (day 0).
constexpr std::int32_t kParadoxDayOf1970 = 719163;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

const char* paradoxTypeName(char type) {
    switch (type) {
    case pxfAlpha:
        return "Alpha";
    case pxfDate:
        return "Date";
    case pxfShort:
        return "Short";
    case pxfLong:
        return "Long";
    case pxfCurrency:
        return "Currency";
    case pxfNumber:
        return "Number";
    case pxfLogical:
        return "Logical";
    case pxfMemoBLOb:
        return "Memo";
    case pxfBLOb:
        return "Binary";
    case pxfFmtMemoBLOb:
        return "Formatted memo";
    case pxfOLE:
        return "OLE";
    case pxfGraphic:
        return "Graphic";
    case pxfTime:
        return "Time";
    case pxfTimestamp:
        return "Timestamp";
    case pxfAutoInc:
        return "Autoincrement";
    case pxfBCD:
        return "BCD";
    case pxfBytes:
        return "Bytes";
    default:
        return "unknown";
    }
}

// Whether a Paradox field can fill one of ours without loss of meaning.
bool fits(char type, FieldType ours) {
    using FT = FieldType;
    switch (type) {
    case pxfAlpha:
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
        return ours == FT::Text || ours == FT::Memo;
    case pxfDate:
        return ours == FT::Date;
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
        return ours == FT::Int16 || ours == FT::Int32 || ours == FT::AutoInc || ours == FT::Float;
    case pxfCurrency:
    case pxfNumber:
        return ours == FT::Money || ours == FT::Float;
    case pxfLogical:
        return ours == FT::Boolean;
    case pxfTime:
        return ours == FT::Time;
    case pxfTimestamp:
        return ours == FT::DateTime;
    case pxfBytes:
        return ours == FT::Bytes || ours == FT::Blob;
    case pxfBLOb:
    case pxfGraphic:
    case pxfOLE:
        return ours == FT::Blob;
    default:
        return false;
    }
}

// Text of one code page to UTF-8; plain ASCII passes untouched.
class Decoder {
public:
    explicit Decoder(int codePage) : codePage_(codePage) {}
    ~Decoder() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Throws std::invalid_argument when iconv does not know the code page.
    void open() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) return;
        // A table written without a code page is read as Windows Latin-1.
        const std::string name = "CP" + std::to_string(codePage_ > 0 ? codePage_ : 1252);
        cd_ = iconv_open("UTF-8", name.c_str());
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::invalid_argument("code page " + std::to_string(codePage_) + " cannot be read");
    }

    std::string decode(const char* bytes, std::size_t size) {
        if (std::all_of(bytes, bytes + size,
                        [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; }))
            return std::string(bytes, size);
        open();
        std::string out(size * 4, '\0');
        char* in = const_cast<char*>(bytes);
        std::size_t inLeft = size;
        char* to = out.data();
        std::size_t outLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(cd_, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1)) break;
            if (errno != EILSEQ && errno != EINVAL) break;
            // A byte the code page leaves undefined: the replacement character.
            if (outLeft < 3) break;
            std::memcpy(to, "\xEF\xBF\xBD", 3);
            to += 3;
            outLeft -= 3;
            ++in;
            --inLeft;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    int codePage_;
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

std::size_t utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

// The file in `folder` whose name is `name` in any case.
std::string findFile(const std::string& folder, const std::string& name) {
    std::error_code ec;
    const std::string wanted = lower(name);
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (lower(e.path().filename().string()) == wanted) return e.path().string();
    return {};
}

Value emptyValue(FieldType t) {
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
        return Value(std::string());
    case FieldType::Int16:
    case FieldType::Int32:
        return Value(0);
    case FieldType::Float:
        return Value(0.0);
    case FieldType::Money:
        return Value(Money());
    case FieldType::Boolean:
        return Value(false);
    default:
        return Value();
    }
}

bool blank(const char* data, int len) {
    return std::all_of(data, data + len, [](char c) { return c == 0; });
}

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A table's memo file (".MB"), read with every offset checked against its
// size: a memo longer than its leader in the record lies there, in a block of
// its own (index 0xFF) or in a block shared by up to 64 small ones.
class MemoFile {
public:
    explicit MemoFile(const std::string& path) : in_(path, std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            size_ = static_cast<std::uint64_t>(in_.tellg());
        }
    }
    bool isOpen() const { return static_cast<bool>(in_); }

    // The memo of a field (its leader and 10-byte reference); nullopt when
    // the reference points outside the file or at a block of the wrong kind.
    std::optional<std::string> read(const char* field, int len) {
        const int leader = len - 10;
        const auto* ref = reinterpret_cast<const unsigned char*>(field + leader);
        const std::uint32_t offset = le32(ref);
        const std::uint32_t size = le32(ref + 4);
        if (size == 0) return std::string();
        if (size <= static_cast<std::uint32_t>(leader)) return std::string(field, size);
        if (!isOpen()) return std::nullopt;
        const std::uint64_t block = offset & 0xFFFFFF00u;
        const unsigned index = offset & 0xFFu;
        unsigned char head[12] = {};
        if (!readAt(block, head, sizeof head)) return std::nullopt;
        std::uint64_t start = 0;
        if (index == 0xFF) {
            if (head[0] != 2) return std::nullopt;
            start = block + 9;
        } else {
            unsigned char entry[5] = {};
            if (head[0] != 3 || index >= 64 || !readAt(block + 12 + index * 5, entry, sizeof entry))
                return std::nullopt;
            start = block + static_cast<std::uint64_t>(entry[0]) * 16;
        }
        std::string text(size, '\0');
        if (!readAt(start, text.data(), size)) return std::nullopt;
        return text;
    }

private:
    bool readAt(std::uint64_t at, void* to, std::uint64_t n) {
        if (at + n > size_) return false;
        in_.seekg(static_cast<std::streamoff>(at));
        in_.read(static_cast<char*>(to), static_cast<std::streamsize>(n));
        return static_cast<bool>(in_);
    }

    std::ifstream in_;
    std::uint64_t size_ = 0;
};

} // namespace

std::string decodeCodePage(int codePage, const char* bytes, std::size_t size) {
    Decoder d(codePage);
    d.open();
    return d.decode(bytes, size);
}

struct ParadoxFolder::Source {
    std::string file;
    std::string path;
    const TableDef* def = nullptr;
    pxdoc_t* doc = nullptr;
    std::string error; // the library's last error
    std::unique_ptr<Decoder> decoder;
    std::unique_ptr<MemoFile> memos;

    bool opened = false;

    ~Source() {
        if (!doc) return;
        if (opened) PX_close(doc);
        PX_delete(doc);
    }

    static void onError(pxdoc_t*, int level, const char* message, void* data) {
        auto* self = static_cast<Source*>(data);
        if (level != PX_Warning && self->error.empty()) self->error = message ? message : "unknown error";
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw ParadoxTableError("table " + file + " cannot be read: " + what +
                                (error.empty() ? "" : " (" + error + ")"));
    }

    void open(const std::string& folder) {
        doc = PX_new3(&Source::onError, nullptr, nullptr, nullptr, this);
        if (!doc) fail("out of memory");
        if (PX_open_file(doc, path.c_str()) < 0 || !doc->px_head) fail("not a Paradox table");
        opened = true;
        const pxhead_t& h = *doc->px_head;
        if (h.px_filetype != pxfFileTypIndexDB && h.px_filetype != pxfFileTypNonIndexDB)
            fail("not a Paradox data table");
        if (h.px_encryption != 0) fail("the table is protected by a password");
        if (h.px_numrecords < 0 || h.px_numfields <= 0 || h.px_recordsize <= 0 || h.px_maxtablesize <= 0)
            fail("damaged header");
        // Every data block the header counts must be in the file: a table
        // cut short is refused rather than read as blank rows.
        std::error_code ec;
        const auto needed = static_cast<std::uintmax_t>(h.px_headersize) +
                            static_cast<std::uintmax_t>(h.px_fileblocks) *
                                static_cast<std::uintmax_t>(h.px_maxtablesize) * 1024u;
        if (fs::file_size(path, ec) < needed || ec) fail("the file is cut short");
        if (static_cast<std::int64_t>(h.px_numrecords) >
            static_cast<std::int64_t>(h.px_fileblocks) * h.px_maxtablesize * 1024 / h.px_recordsize)
            fail("damaged header");
        const std::string memo = findFile(folder, fs::path(path).stem().string() + ".mb");
        memos = std::make_unique<MemoFile>(memo.empty() ? path + ".missing" : memo);
        decoder = std::make_unique<Decoder>(h.px_doscodepage);
        try {
            decoder->open();
        } catch (const std::invalid_argument& e) {
            fail(e.what());
        }
        if (!error.empty()) fail("damaged header");
    }
};

ParadoxFolder::ParadoxFolder(const std::string& folder, const std::vector<TableDef>& known) {
    PX_boot();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw std::invalid_argument("\"" + folder + "\" is not a folder");
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file(ec) && lower(e.path().extension().string()) == ".db") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    try {
        for (const auto& f : files) {
            const std::string stem = lower(f.stem().string());
            const auto def = std::find_if(known.begin(), known.end(),
                                          [&stem](const TableDef& t) { return lower(t.name) == stem; });
            if (def == known.end()) {
                unknown_.push_back(f.filename().string());
                continue;
            }
            auto* s = new Source;
            sources_.push_back(s);
            s->file = f.filename().string();
            s->path = f.string();
            s->def = &*def;
            s->open(folder);
        }
    } catch (...) {
        for (Source* s : sources_)
            delete s;
        sources_.clear();
        throw;
    }
}

ParadoxFolder::~ParadoxFolder() {
    for (Source* s : sources_)
        delete s;
}

std::int64_t ParadoxFolder::totalRows() const {
    std::int64_t n = 0;
    for (const Source* s : sources_)
        n += s->doc->px_head->px_numrecords;
    return n;
}

std::vector<std::string> ParadoxFolder::tableNames() const {
    std::vector<std::string> names;
    for (const Source* s : sources_)
        names.push_back(s->def->name);
    return names;
}

ParadoxImportReport ParadoxFolder::copyInto(Database& db,
                                            const std::function<bool(std::int64_t, std::int64_t)>& progress) {
    ParadoxImportReport report;
    report.unknownTables = unknown_;
    const std::int64_t total = totalRows();
    std::int64_t done = 0;
    for (Source* s : sources_) {
        ParadoxImportReport::Table t;
        t.file = s->file;
        t.table = s->def->name;
        pxdoc_t* doc = s->doc;
        const pxhead_t& h = *doc->px_head;

        struct Column {
            std::string name;
            char type;
            int offset;
            int len;
            int target;
            FieldType ours;
            int size;
            std::int64_t cut = 0;
        };
        std::vector<Column> columns;
        std::vector<bool> filled(s->def->fields.size(), false);
        int offset = 0;
        for (int i = 0; i < h.px_numfields; ++i) {
            const pxfield_t& f = h.px_fields[i];
            const std::string name = f.px_fname ? f.px_fname : "";
            const int target = s->def->fieldIndex(name);
            if (target < 0) {
                t.skippedFields.push_back(name);
            } else {
                const FieldDef& ours = s->def->fields[static_cast<std::size_t>(target)];
                if (!fits(f.px_ftype, ours.type) || filled[static_cast<std::size_t>(target)]) {
                    t.skippedFields.push_back(name + " (" + paradoxTypeName(f.px_ftype) + ", not " +
                                              fieldTypeName(ours.type) + ")");
                } else {
                    columns.push_back({name, f.px_ftype, offset, f.px_flen, target, ours.type, ours.size});
                    filled[static_cast<std::size_t>(target)] = true;
                }
            }
            offset += f.px_flen;
        }
        if (offset > h.px_recordsize) s->fail("its fields do not fit its records");

        Cursor cursor(db, s->def->name);
        while (cursor.first())
            cursor.remove();
        // Fields the table does not fill get their empty values.
        std::vector<std::pair<int, Value>> blanks;
        for (std::size_t i = 0; i < s->def->fields.size(); ++i) {
            if (filled[i]) continue;
            switch (s->def->fields[i].type) {
            case FieldType::Int16:
            case FieldType::Int32:
                blanks.emplace_back(static_cast<int>(i), Value(0));
                break;
            case FieldType::Float:
                blanks.emplace_back(static_cast<int>(i), Value(0.0));
                break;
            case FieldType::Money:
                blanks.emplace_back(static_cast<int>(i), Value(Money()));
                break;
            case FieldType::Boolean:
                blanks.emplace_back(static_cast<int>(i), Value(false));
                break;
            default:
                break;
            }
        }

        std::vector<char> record(static_cast<std::size_t>(h.px_recordsize));
        for (int r = 0; r < h.px_numrecords; ++r) {
            if (!PX_get_record(doc, r, record.data()) || !s->error.empty())
                s->fail("row " + std::to_string(r + 1) + " of " + std::to_string(h.px_numrecords));
            cursor.insert();
            for (const auto& [field, v] : blanks)
                cursor.set(field, v);
            for (Column& c : columns) {
                char* data = record.data() + c.offset;
                Value v;
                if (blank(data, c.len)) {
                    // Paradox's null: the empty value of our field.
                    v = emptyValue(c.ours);
                } else
                    switch (c.type) {
                    case pxfAlpha: {
                        const std::size_t n = strnlen(data, static_cast<std::size_t>(c.len));
                        v = Value(s->decoder->decode(data, n));
                        break;
                    }
                    case pxfMemoBLOb:
                    case pxfFmtMemoBLOb: {
                        const std::optional<std::string> memo = s->memos->read(data, c.len);
                        if (!memo) s->fail("the memo " + c.name + " of row " + std::to_string(r + 1));
                        v = Value(s->decoder->decode(memo->data(), strnlen(memo->data(), memo->size())));
                        break;
                    }
                    case pxfShort: {
                        short x = 0;
                        PX_get_data_short(doc, data, c.len, &x);
                        v = c.ours == FieldType::Float ? Value(static_cast<double>(x))
                                                       : Value(static_cast<int>(x));
                        break;
                    }
                    case pxfLong:
                    case pxfAutoInc: {
                        long x = 0;
                        PX_get_data_long(doc, data, c.len, &x);
                        v = c.ours == FieldType::Float ? Value(static_cast<double>(x))
                                                       : Value(static_cast<std::int64_t>(x));
                        break;
                    }
                    case pxfCurrency:
                    case pxfNumber: {
                        double x = 0;
                        PX_get_data_double(doc, data, c.len, &x);
                        if (c.ours == FieldType::Money) {
                            const Money m = Money::fromDouble(x);
                            ++report.moneyValues;
                            if (m.toDouble() != x) ++report.moneyRounded;
                            v = Value(m);
                        } else {
                            v = Value(x);
                        }
                        break;
                    }
                    case pxfLogical: {
                        char x = 0;
                        PX_get_data_byte(doc, data, c.len, &x);
                        v = Value(x != 0);
                        break;
                    }
                    case pxfDate: {
                        long x = 0;
                        if (PX_get_data_long(doc, data, c.len, &x) > 0 && x > 0)
                            v = Value(Date::fromDays(static_cast<std::int32_t>(x - kParadoxDayOf1970)));
                        break;
                    }
                    case pxfTime: {
                        long x = 0;
                        if (PX_get_data_long(doc, data, c.len, &x) > 0)
                            v = Value(Time::fromSeconds(static_cast<int>(x / 1000)));
                        break;
                    }
                    case pxfTimestamp: {
                        double x = 0;
                        if (PX_get_data_double(doc, data, c.len, &x) > 0 && x > 0) {
                            const auto secs = static_cast<std::int64_t>(x / 1000);
                            const auto days = static_cast<std::int32_t>(secs / 86400);
                            v = Value(DateTime(Date::fromDays(days - kParadoxDayOf1970),
                                               static_cast<int>(secs % 86400)));
                        }
                        break;
                    }
                    case pxfBytes: {
                        const auto* b = reinterpret_cast<const std::uint8_t*>(data);
                        v = Value(Bytes(b, b + c.len));
                        break;
                    }
                    default: { // binary memos
                        const std::optional<std::string> memo = s->memos->read(data, c.len);
                        if (!memo) s->fail("the field " + c.name + " of row " + std::to_string(r + 1));
                        const auto* b = reinterpret_cast<const std::uint8_t*>(memo->data());
                        v = Value(Bytes(b, b + memo->size()));
                        break;
                    }
                    }
                if ((c.ours == FieldType::Text) &&
                    utf8Length(std::get<std::string>(v.storage())) > static_cast<std::size_t>(c.size))
                    ++c.cut;
                cursor.set(c.target, v);
            }
            try {
                cursor.post();
            } catch (const EngineError& e) {
                throw ParadoxTableError("table " + s->file + ", row " + std::to_string(r + 1) + ": " +
                                        e.what());
            }
            ++t.rows;
            ++done;
            if (progress && done % 1000 == 0 && !progress(done, total))
                throw std::runtime_error("import cancelled");
        }
        for (const Column& c : columns)
            if (c.cut > 0)
                t.cutFields.push_back(c.name + ": " + std::to_string(c.cut) +
                                      (c.cut == 1 ? " value longer than " : " values longer than ") +
                                      std::to_string(c.size) + " characters, cut");
        report.rows += t.rows;
        report.tables.push_back(std::move(t));
    }
    if (progress) progress(done, total);
    return report;
}

} // namespace vm::admin
