#pragma once
#include "components/common/PickerDefinition.h"
// TableDef.h first: its FieldType::Bytes would otherwise shadow vm::Bytes.
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace vm {
class Database;
}

namespace vm::components {

// The rows of a picker's table that match the search text, fetched a page at
// a time: opening the list or changing the search costs one LIMITed query,
// however large the table. A row matches when its key starts with the text
// (letters without regard to case) or its name contains it without regard to
// case or accents ("belanger" finds "Bélanger"); the text is matched
// literally, wildcards included, and control characters are dropped.
class PickerModel : public QAbstractTableModel {
public:
    PickerModel(Database& db, PickerDefinition definition, int pageSize = 100, QObject* parent = nullptr);

    // Replaces the rows by the first page matching `text`. Throws EngineError.
    void setSearch(const QString& text);
    const QString& search() const { return search_; }
    // The key of a row as stored (text or integer).
    const Value& keyAt(int row) const;
    const PickerDefinition& definition() const { return definition_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Column titles come from the language tables after construction.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Titles in the language of `language` (1 English, anything else French).
    void setFallbackTitles(int language);

    // The typed text as names are compared: lower case, without accents or
    // control characters.
    static QString searchText(const QString& typed);

    // A LIKE pattern (escape character '\') matching `text` literally, as a
    // prefix or anywhere in the value.
    static std::string likePattern(std::string_view text, bool anywhere);

private:
    // The page after the rows already read; sets whether more follow.
    std::vector<std::vector<Value>> readPage();
    std::string selectSql(bool afterKey, bool withOffset) const;

    Database& db_;
    PickerDefinition definition_;
    int pageSize_;
    QString search_;
    std::vector<std::vector<Value>> rows_; // column 0 is the key
    std::vector<QVariant> titles_;
    bool more_ = false;
};

} // namespace vm::components
