#include "engine/Cursor.h"
#include "engine/Database.h"
#include "tools/ParadoxImport.h"

#include <iconv.h>
// pxlib's header declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

#include <cstring>
#include <filesystem>
#include <memory>

namespace vm::admin {
namespace {

constexpr std::int32_t kParadoxDayOf1970 = 719163;
constexpr int kMemoInRecord = 30; // a memo's leader in the record, with its 10 bytes of reference

struct Column {
    int source;
    char type;
    int len;
    FieldType ours;
};

char paradoxType(FieldType t) {
    switch (t) {
    case FieldType::Text:
        return pxfAlpha;
    case FieldType::Int16:
        return pxfShort;
    case FieldType::Int32:
    case FieldType::AutoInc:
        return pxfLong;
    case FieldType::Float:
        return pxfNumber;
    case FieldType::Money:
        return pxfCurrency;
    case FieldType::Date:
        return pxfDate;
    case FieldType::DateTime:
        return pxfTimestamp;
    case FieldType::Time:
        return pxfTime;
    case FieldType::Boolean:
        return pxfLogical;
    case FieldType::Memo:
        return pxfMemoBLOb;
    case FieldType::Blob:
        return pxfBLOb;
    case FieldType::Bytes:
        return pxfBytes;
    }
    return pxfAlpha;
}

int paradoxLength(const FieldDef& f) {
    switch (f.type) {
    case FieldType::Text:
        return std::min(std::max(f.size, 1), 255);
    case FieldType::Int16:
        return 2;
    case FieldType::Int32:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
        return 4;
    case FieldType::Float:
    case FieldType::Money:
    case FieldType::DateTime:
        return 8;
    case FieldType::Boolean:
        return 1;
    case FieldType::Memo:
    case FieldType::Blob:
        return kMemoInRecord;
    case FieldType::Bytes:
        return std::min(std::max(f.size, 1), 255);
    }
    return 1;
}

class Encoder {
public:
    explicit Encoder(int codePage) {
        const std::string name = "CP" + std::to_string(codePage);
        cd_ = iconv_open(name.c_str(), "UTF-8");
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::invalid_argument("code page " + name);
    }
    ~Encoder() { iconv_close(cd_); }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    std::string encode(const std::string& text) {
        std::string out(text.size() + 1, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0 && iconv(cd_, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) {
            if (outLeft == 0) break;
            *to++ = '?'; // a character the code page lacks
            --outLeft;
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::int64_t exportParadoxTable(Database& db, const std::string& table, const std::string& path,
                                const ParadoxExportOptions& options) {
    PX_boot();
    Cursor cursor(db, table, true);
    const TableDef& def = cursor.def();
    std::vector<Column> columns;
    std::vector<std::string> names;
    bool blobs = false;
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        columns.push_back({static_cast<int>(i), paradoxType(f.type), paradoxLength(f), f.type});
        names.push_back(f.name);
        blobs = blobs || f.type == FieldType::Memo || f.type == FieldType::Blob;
    }
    if (!options.extraField.empty()) {
        columns.push_back({-1, pxfAlpha, 10, FieldType::Text});
        names.push_back(options.extraField);
    }
    // pxlib takes the field list as its own (freed with the document).
    pxdoc_t* doc = PX_new();
    if (!doc) throw std::runtime_error("pxlib: out of memory");
    auto* fields = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * columns.size(), "fields"));
    int recordSize = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        fields[i].px_fname = PX_strdup(doc, names[i].c_str());
        fields[i].px_ftype = columns[i].type;
        fields[i].px_flen = columns[i].len;
        fields[i].px_fdc = 0;
        recordSize += columns[i].len;
    }
    if (PX_create_file(doc, fields, static_cast<int>(columns.size()), path.c_str(), pxfFileTypNonIndexDB) <
        0) {
        PX_delete(doc);
        throw std::runtime_error("cannot create " + path);
    }
    doc->px_head->px_doscodepage = options.codePage;
    // 16 KB blocks, so that a million rows fit in a table (pxlib starts at 2 KB).
    doc->px_head->px_maxtablesize = 16;
    PX_set_tablename(doc, table.c_str());
    if (blobs) {
        const std::string memo = std::filesystem::path(path).replace_extension(".MB").string();
        if (PX_set_blob_file(doc, memo.c_str()) < 0) {
            PX_close(doc);
            PX_delete(doc);
            throw std::runtime_error("cannot create " + memo);
        }
    }
    Encoder encoder(options.codePage);
    std::vector<char> record(static_cast<std::size_t>(recordSize));
    std::int64_t rows = 0;
    for (bool more = cursor.first(); more && (options.maxRows < 0 || rows < options.maxRows);
         more = cursor.next()) {
        std::memset(record.data(), 0, record.size());
        char* data = record.data();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const Column& c = columns[i];
            if (c.source < 0) {
                PX_put_data_alpha(doc, data, c.len, const_cast<char*>("x"));
                data += c.len;
                continue;
            }
            const Value v = cursor.value(c.source);
            if (!v.isNull()) switch (c.ours) {
                case FieldType::Text: {
                    std::string s = encoder.encode(v.asString());
                    if (!s.empty()) PX_put_data_alpha(doc, data, c.len, s.data());
                    break;
                }
                case FieldType::Memo: {
                    std::string s = encoder.encode(v.asString());
                    if (!s.empty()) PX_put_data_blob(doc, data, c.len, s.data(), static_cast<int>(s.size()));
                    break;
                }
                case FieldType::Blob: {
                    Bytes b = v.asBytes();
                    if (!b.empty())
                        PX_put_data_blob(doc, data, c.len, reinterpret_cast<char*>(b.data()),
                                         static_cast<int>(b.size()));
                    break;
                }
                case FieldType::Bytes: {
                    const Bytes b = v.asBytes();
                    std::memcpy(data, b.data(),
                                std::min<std::size_t>(b.size(), static_cast<std::size_t>(c.len)));
                    break;
                }
                case FieldType::Int16:
                    PX_put_data_short(doc, data, c.len, static_cast<short>(v.asInt()));
                    break;
                case FieldType::Int32:
                case FieldType::AutoInc:
                    PX_put_data_long(doc, data, c.len, static_cast<int>(v.asInt()));
                    break;
                case FieldType::Float:
                case FieldType::Money: {
                    double x = c.ours == FieldType::Money ? v.asMoney().toDouble() : v.asDouble();
                    if (options.adjust)
                        x = options.adjust(def.fields[static_cast<std::size_t>(c.source)].name, rows, x);
                    PX_put_data_double(doc, data, c.len, x);
                    break;
                }
                case FieldType::Date:
                    PX_put_data_long(doc, data, c.len, v.asDate().days() + kParadoxDayOf1970);
                    break;
                case FieldType::Time:
                    PX_put_data_long(doc, data, c.len, v.asTime().seconds() * 1000);
                    break;
                case FieldType::DateTime: {
                    const DateTime t = v.asDateTime();
                    const double ms = (static_cast<double>(t.date().days() + kParadoxDayOf1970) * 86400.0 +
                                       t.secondsOfDay()) *
                                      1000.0;
                    PX_put_data_double(doc, data, c.len, ms);
                    break;
                }
                case FieldType::Boolean:
                    PX_put_data_byte(doc, data, c.len, v.asBool() ? 1 : 0);
                    break;
                }
            data += c.len;
        }
        if (PX_put_record(doc, record.data()) < 0) {
            PX_close(doc);
            PX_delete(doc);
            throw std::runtime_error("cannot write " + path);
        }
        ++rows;
    }
    PX_close(doc);
    PX_delete(doc);
    return rows;
}

} // namespace vm::admin
