#include "components/common/PickerModel.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <variant>

namespace vm::components {

namespace {

// Field and table names come from the picker declarations, never from the
// user; they are still checked so that a bad declaration cannot become SQL.
std::string ident(const std::string& name) {
    if (name.empty()) throw EngineError(errc::kFieldNotFound, "empty name in a picker declaration");
    for (char c : name) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) throw EngineError(errc::kFieldNotFound, "bad name in a picker declaration: " + name);
    }
    return '"' + name + '"';
}

// Accented letters (both cases) and the ligatures the name column may hold,
// with the plain letters a search compares them as.
constexpr std::pair<const char*, const char*> kFolds[] = {
    {"à", "a"}, {"â", "a"},  {"ä", "a"},  {"á", "a"},  {"À", "a"}, {"Â", "a"}, {"Ä", "a"}, {"Á", "a"},
    {"ç", "c"}, {"Ç", "c"},  {"é", "e"},  {"è", "e"},  {"ê", "e"}, {"ë", "e"}, {"É", "e"}, {"È", "e"},
    {"Ê", "e"}, {"Ë", "e"},  {"î", "i"},  {"ï", "i"},  {"í", "i"}, {"Î", "i"}, {"Ï", "i"}, {"Í", "i"},
    {"ô", "o"}, {"ö", "o"},  {"ó", "o"},  {"Ô", "o"},  {"Ö", "o"}, {"Ó", "o"}, {"ù", "u"}, {"û", "u"},
    {"ü", "u"}, {"ú", "u"},  {"Ù", "u"},  {"Û", "u"},  {"Ü", "u"}, {"Ú", "u"}, {"ÿ", "y"}, {"ñ", "n"},
    {"Ñ", "n"}, {"œ", "oe"}, {"Œ", "oe"}, {"æ", "ae"}, {"Æ", "ae"}};

// The table with one more column, "vm_folded": the name without its
// accents. The replacements are the constants above, never typed text; they
// are spread over nested selects because SQLite's parser limits how deeply
// one expression may nest. LIKE then ignores the case of what is left.
constexpr std::size_t kFoldsPerLevel = 12;
std::string foldedSource(const std::string& table, const std::string& nameColumn) {
    std::string source = table;
    std::string column = nameColumn;
    const std::size_t count = std::size(kFolds);
    for (std::size_t first = 0, level = 0; first < count; first += kFoldsPerLevel, ++level) {
        std::string sql = column;
        for (std::size_t i = first; i < std::min(count, first + kFoldsPerLevel); ++i)
            sql = "replace(" + sql + ", '" + kFolds[i].first + "', '" + kFolds[i].second + "')";
        const std::string name = "vm_fold" + std::to_string(level);
        source = "(SELECT *, " + sql + " AS " + name + " FROM " + source + ")";
        column = name;
    }
    return "(SELECT *, " + column + " AS vm_folded FROM " + source + ")";
}

bool isNumber(const Value& v) {
    const auto& s = v.storage();
    return std::holds_alternative<std::int64_t>(s) || std::holds_alternative<double>(s) ||
           std::holds_alternative<Money>(s);
}

} // namespace

PickerModel::PickerModel(Database& db, PickerDefinition definition, int pageSize, QObject* parent)
    : QAbstractTableModel(parent), db_(db), definition_(std::move(definition)),
      pageSize_(pageSize > 0 ? pageSize : 100) {
    titles_.resize(definition_.columns.size());
    setFallbackTitles(1);
}

void PickerModel::setFallbackTitles(int language) {
    for (std::size_t i = 0; i < definition_.columns.size(); ++i)
        titles_[i] = language == 1 ? definition_.columns[i].english : definition_.columns[i].french;
    if (!titles_.empty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(titles_.size()) - 1);
}

QString PickerModel::searchText(const QString& typed) {
    QString out;
    for (const QChar c : typed.normalized(QString::NormalizationForm_D)) {
        // Control characters (a NUL would end the pattern early and match
        // every row) and the accents NFD split off are dropped.
        if (c.category() == QChar::Other_Control || c.category() == QChar::Mark_NonSpacing) continue;
        if (c == QChar(0x0153) || c == QChar(0x0152))
            out += QStringLiteral("oe");
        else if (c == QChar(0x00E6) || c == QChar(0x00C6))
            out += QStringLiteral("ae");
        else
            out += c.toLower();
    }
    return out;
}

std::string PickerModel::likePattern(std::string_view text, bool anywhere) {
    std::string out;
    out.reserve(text.size() + 4);
    if (anywhere) out += '%';
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += c;
    }
    out += '%';
    return out;
}

std::string PickerModel::selectSql(bool afterKey, bool withOffset) const {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < definition_.columns.size(); ++i) {
        if (i) sql += ", ";
        sql += ident(definition_.columns[i].field);
    }
    const std::string key = ident(definition_.keyField);
    sql +=
        " FROM " + (search_.isEmpty() ? ident(definition_.table)
                                      : foldedSource(ident(definition_.table), ident(definition_.nameField)));

    std::vector<std::string> conditions;
    if (!search_.isEmpty())
        conditions.push_back("(CAST(" + key + " AS TEXT) LIKE ? ESCAPE '\\' OR " +
                             "vm_folded LIKE ? ESCAPE '\\')");
    if (afterKey) conditions.push_back(key + " > ?");
    for (std::size_t i = 0; i < conditions.size(); ++i)
        sql += (i ? " AND " : " WHERE ") + conditions[i];

    sql += " ORDER BY " + key;
    sql += " LIMIT ?";
    if (withOffset) sql += " OFFSET ?";
    return sql;
}

void PickerModel::setSearch(const QString& text) {
    beginResetModel();
    // Control characters cannot be part of a code or a name.
    search_.clear();
    for (const QChar c : text)
        if (c.category() != QChar::Other_Control) search_ += c;
    rows_.clear();
    more_ = true;
    try {
        rows_ = readPage();
    } catch (...) {
        more_ = false;
        endResetModel();
        throw;
    }
    endResetModel();
}

// Reads the next page, one row more than shown to learn whether more follow.
// A unique key continues after the last key read, so a long scroll never
// re-reads what it has passed; a key that may repeat pages by offset.
std::vector<std::vector<Value>> PickerModel::readPage() {
    const bool afterKey = definition_.uniqueKey && !rows_.empty();
    const bool withOffset = !definition_.uniqueKey && !rows_.empty();
    std::vector<Value> params;
    if (!search_.isEmpty()) {
        // A code is compared as typed (letters without regard to case: a
        // code typed in lower case finds its stored upper case), a name
        // without its accents.
        params.emplace_back(likePattern(search_.toStdString(), false));
        params.emplace_back(likePattern(searchText(search_).toStdString(), true));
    }
    if (afterKey) params.push_back(rows_.back().front());
    params.emplace_back(std::int64_t{pageSize_} + 1);
    if (withOffset) params.emplace_back(static_cast<std::int64_t>(rows_.size()));

    Query q(db_, selectSql(afterKey, withOffset), params);
    std::vector<std::vector<Value>> page;
    const int cols = static_cast<int>(definition_.columns.size());
    while (static_cast<int>(page.size()) <= pageSize_ && q.next()) {
        std::vector<Value> row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c)
            row.push_back(q.value(c));
        page.push_back(std::move(row));
    }
    q.close();
    more_ = static_cast<int>(page.size()) > pageSize_;
    if (more_) page.pop_back();
    return page;
}

const Value& PickerModel::keyAt(int row) const {
    return rows_.at(static_cast<std::size_t>(row)).front();
}

int PickerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PickerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(definition_.columns.size());
}

QVariant PickerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Value& v = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(v.asString());
    case Qt::TextAlignmentRole:
        return isNumber(v) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                           : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant PickerModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(titles_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return titles_[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole) {
        // Titles of number columns stand over the numbers, on the right.
        const bool number = !rows_.empty() && isNumber(rows_.front()[static_cast<std::size_t>(section)]);
        return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                      : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool PickerModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= static_cast<int>(titles_.size()))
        return false;
    titles_[static_cast<std::size_t>(section)] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool PickerModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && more_;
}

void PickerModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !more_) return;
    std::vector<std::vector<Value>> page;
    try {
        page = readPage();
    } catch (const std::exception&) {
        // A failed page read (the table went away under us) ends the list
        // rather than the dialog; what was shown stays valid.
        more_ = false;
        return;
    }
    if (page.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    for (auto& r : page)
        rows_.push_back(std::move(r));
    endInsertRows();
}

} // namespace vm::components
