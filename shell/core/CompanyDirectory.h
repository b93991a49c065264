#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Database;
}

namespace vm::shell {

struct CompanyRow {
    int code = 0;
    std::string name;
    std::string password;
};

// The company list (comp.db in the data root), read only.
class CompanyDirectory {
public:
    // Every company in key order; throws vm::EngineError when the table
    // cannot be read.
    static std::vector<CompanyRow> list(Database& dataRoot);
    static std::optional<CompanyRow> find(const std::vector<CompanyRow>& companies, int code);
    // The company an Options/Company entry names: its caption is the
    // company name, and when names repeat the last such row wins.
    static std::optional<CompanyRow> findByName(const std::vector<CompanyRow>& companies,
                                                const std::string& name);

    // A company with a password asks for it, unless it is the user's own.
    static bool needsPassword(const CompanyRow& company, int userCompany);
    // The typed text must equal the password exactly (no case change).
    static bool passwordMatches(const CompanyRow& company, const std::string& typed) {
        return typed == company.password;
    }
};

} // namespace vm::shell
