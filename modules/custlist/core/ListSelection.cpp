#include "modules/custlist/core/ListSelection.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <algorithm>
#include <cctype>

namespace vm::lists {

namespace {
std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}
} // namespace

bool territoryMatches(std::string_view pattern, std::string_view territory) {
    const std::size_t n = std::min<std::size_t>(pattern.size(), 3);
    for (std::size_t i = 0; i < n; ++i) {
        const char p = pattern[i];
        if (p == ' ' || p == '?') continue;
        if (i >= territory.size() || territory[i] != p) return false;
    }
    return true;
}

ListSelection::ListSelection(Database& company, ListOptions options)
    : db_(company), options_(std::move(options)) {}

ListSelection::~ListSelection() = default;

ListOrder ListSelection::effectiveOrder() const {
    if (options_.master == Master::Clients && options_.detailed) return options_.order;
    return ListOrder::Code;
}

void ListSelection::restart() {
    query_.reset();
    terrColumn_ = -1;
}

bool ListSelection::next() {
    const bool clients = options_.master == Master::Clients;
    const std::string code = clients ? "Cli_code" : "Sup_code";
    if (!query_) {
        std::string sql = std::string("SELECT * FROM ") + (clients ? "cli" : "sup") + " WHERE 1 = 1";
        std::vector<Value> params;
        auto bound = [&](const std::string& column, const char* op, const std::string& v) {
            if (v.empty()) return;
            sql += " AND " + column + " " + op + " ?";
            params.emplace_back(v);
        };
        bound(code, ">=", options_.fromCode);
        bound(code, "<=", options_.toCode);
        if (clients) {
            // A client without a salesrep sorts as an empty code: below any
            // "from", within any "to".
            bound("COALESCE(Cli_salesrep, '')", ">=", options_.fromRep);
            bound("COALESCE(Cli_salesrep, '')", "<=", options_.toRep);
        }
        sql += " ORDER BY ";
        if (effectiveOrder() == ListOrder::Salesrep) sql += "Cli_salesrep ASC, ";
        sql += code + " ASC";
        query_ = std::make_unique<Query>(db_, sql, params);
        terrColumn_ = query_->columnIndex(clients ? "Cli_terr" : "Sup_terr");
        lowerNames_.clear();
        for (int i = 0; i < query_->columnCount(); ++i)
            lowerNames_.push_back(lower(query_->columnName(i)));
    }
    while (query_->next()) {
        if (options_.territory.empty() || territoryMatches(options_.territory, query_->text(terrColumn_)))
            return true;
    }
    return false;
}

Value ListSelection::value(std::string_view field) const {
    if (!query_) return Value();
    const std::string name = lower(field);
    for (std::size_t i = 0; i < lowerNames_.size(); ++i)
        if (lowerNames_[i] == name) return query_->value(static_cast<int>(i));
    return Value();
}

std::vector<std::string> ListSelection::fieldNames() const {
    std::vector<std::string> names;
    if (query_)
        for (int i = 0; i < query_->columnCount(); ++i)
            names.push_back(query_->columnName(i));
    return names;
}

} // namespace vm::lists
