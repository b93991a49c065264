#pragma once
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "schema/Schema.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// A data root and company 1 in a temporary directory, with the reference
// rows the client tests lean on: salesman S1, territory MTL, terms 30 (30
// days) and 60 (45 days), account 4000 and client C100.
class ClientCompany {
public:
    ClientCompany() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vmcustmaint-XXXXXX").string();
        root_ = ::mkdtemp(tmpl.data());
        dataDir_ = vm::schema::dataDirOf(root_);
        vm::schema::createDataRoot(dataDir_);
        vm::schema::createCompany(dataDir_, 1, "Test company");
        add(company(), "slsm", {{"Slsm_code", "S1"}, {"Slsm_nom", "Sam"}});
        add(dataRoot(), "arterr", {{"Arterr_code", "MTL"}, {"Arterr_desc", "Montreal"}});
        add(dataRoot(), "arterms", {{"Arterms_code", 30}, {"Arterms_desc", "Net 30"}, {"Arterms_days", 30}});
        add(dataRoot(), "arterms", {{"Arterms_code", 60}, {"Arterms_desc", "Net 45"}, {"Arterms_days", 45}});
        add(company(), "glm", {{"Glm_account", 4000}, {"Glm_Description", "Sales"}, {"Glm_summarize", "N"}});
        add(company(), "cli",
            {{"Cli_code", "C100"},
             {"Cli_name", "Acme"},
             {"Cli_salesrep", "S1"},
             {"Cli_terms", 30},
             {"Cli_postal_code", "H1A 1A1"}});
    }
    ~ClientCompany() {
        session_.closeAll();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    const std::string& dataDir() const { return dataDir_; }
    std::string companyDir() const { return vm::schema::companyDirOf(dataDir_, 1); }
    vm::Session& session() { return session_; }
    vm::Database& company() { return session_.database(companyDir()); }
    vm::Database& dataRoot() { return session_.database(dataDir_); }

    // Inserts one row; the other fields stay blank.
    static void add(vm::Database& db, const char* table,
                    std::initializer_list<std::pair<const char*, vm::Value>> values) {
        vm::Cursor c(db, table);
        c.insert();
        for (const auto& [field, value] : values)
            c.set(field, value);
        c.post();
    }

    // Sets fields of the single control row.
    void setControl(std::initializer_list<std::pair<const char*, vm::Value>> values) {
        vm::Cursor c(company(), "ctrl");
        c.first();
        c.edit();
        for (const auto& [field, value] : values)
            c.set(field, value);
        c.post();
    }

private:
    std::string root_;
    std::string dataDir_;
    vm::Session session_;
};
