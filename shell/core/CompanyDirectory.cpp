#include "shell/core/CompanyDirectory.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::shell {

std::vector<CompanyRow> CompanyDirectory::list(Database& dataRoot) {
    std::vector<CompanyRow> rows;
    Cursor c(dataRoot, "comp", true);
    for (bool ok = c.first(); ok; ok = c.next())
        rows.push_back({static_cast<int>(c.integer("Comp_Code")), c.str("Comp_Name"), c.str("Comp_Passwd")});
    return rows;
}

std::optional<CompanyRow> CompanyDirectory::find(const std::vector<CompanyRow>& companies, int code) {
    for (const auto& c : companies)
        if (c.code == code) return c;
    return std::nullopt;
}

std::optional<CompanyRow> CompanyDirectory::findByName(const std::vector<CompanyRow>& companies,
                                                       const std::string& name) {
    std::optional<CompanyRow> found;
    for (const auto& c : companies)
        if (c.name == name) found = c;
    return found;
}

bool CompanyDirectory::needsPassword(const CompanyRow& company, int userCompany) {
    return !company.password.empty() && company.code != userCompany;
}

} // namespace vm::shell
