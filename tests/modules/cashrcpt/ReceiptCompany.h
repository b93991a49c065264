#pragma once
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/cashrcpt/core/ControlAccounts.h"
#include "schema/Schema.h"
#include "tests/fixture/PgServer.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A data root with company 1 set up for cash receipts: a chart with a bank
// and a receivables account in the company's currency and in currency 1
// (US), two receipt template accounts (the home bank and other income), and
// helpers for clients and their ledger rows.
namespace vm::test {

constexpr std::int32_t kBank = 1000, kBankUs = 1010, kReceivables = 1200, kReceivablesUs = 1210,
                       kDiscounts = 4100, kOtherIncome = 4900, kNotInChart = 7777;

class ReceiptCompany {
public:
    // On a server, the data root and the company made in the directory are
    // copied to two new schemas, and the company is set up there.
    explicit ReceiptCompany(Backend backend = Backend::Sqlite) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vmcashrcpt-XXXXXX").string();
        root_ = ::mkdtemp(tmpl.data());
        dataDir_ = schema::dataDirOf(root_);
        schema::createDataRoot(dataDir_);
        schema::createCompany(dataDir_, 1, "Receipts Test Co");
        if (backend == Backend::Postgres) {
            static int made = 0;
            schema_ = "r" + std::to_string(::getpid()) + "_" + std::to_string(++made) + "data";
            const std::string server = PgServer::instance().location(schema_);
            for (const auto& [from, to] :
                 {std::pair{dataDir_, server}, std::pair{companyDir(), schema::companyDirOf(server, 1)}}) {
                Database source(from);
                session_.database(to).copyFrom(source);
            }
            dataDir_ = server;
        }
        db_ = &session_.database(companyDir());
        root = &session_.database(dataDir_);
        account(kBank, "Bank - Canadian", 0);
        account(kBankUs, "Bank - US", 1);
        account(kReceivables, "Accounts receivable", 0);
        account(kReceivablesUs, "Accounts receivable US", 1);
        account(kDiscounts, "Discounts allowed", 0);
        account(kOtherIncome, "Other income", 0);
        Cursor ctrl(*db_, "ctrl");
        ctrl.first();
        ctrl.edit();
        ctrl.set("Ctrl_ar_period", 4);
        ctrl.set("Ctrl_ar_accnt", kReceivables);
        ctrl.set("Ctrl_ar_curr2", kReceivablesUs);
        ctrl.set("Ctrl_bank_accnt1", kBank);
        ctrl.set("Ctrl_bank_accnt2", kBankUs);
        ctrl.set("Ctrl_cr_accnt1", kBank);
        ctrl.set("Ctrl_cr_accnt2", kDiscounts);
        ctrl.set("Ctrl_cr_accnt3", kNotInChart); // skipped: not in the chart
        ctrl.set("Ctrl_curr1_name", "US dollar");
        ctrl.set("Ctrl_curr1_sign", "US$");
        ctrl.post();
        accounts = cashrcpt::ControlAccounts::load(*db_);
    }
    ~ReceiptCompany() {
        session_.closeAll();
        if (!schema_.empty()) {
            PgServer::instance().run("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
            PgServer::instance().run("DROP SCHEMA IF EXISTS " + schema_ + "1 CASCADE");
        }
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    ReceiptCompany(const ReceiptCompany&) = delete;
    ReceiptCompany& operator=(const ReceiptCompany&) = delete;

    Database& db() { return *db_; }
    const std::string& dataDir() const { return dataDir_; }
    std::string companyDir() const { return schema::companyDirOf(dataDir_, 1); }

    void account(std::int32_t number, const std::string& name, int currency) {
        Cursor glm(*db_, "glm");
        glm.insert();
        schema::fillBlank(glm);
        glm.set("Glm_account", number);
        glm.set("Glm_Description", name);
        glm.set("Glm_summarize", "N");
        glm.set("Glm_currency", currency);
        glm.post();
    }

    void client(const std::string& code, const std::string& name, int currency = 0, int creditLimit = 0,
                bool creditHold = false) {
        Cursor c(*db_, "cli");
        c.insert();
        schema::fillBlank(c);
        c.set("Cli_code", code);
        c.set("Cli_name", name);
        c.set("Cli_email", code + "@example.com");
        c.set("Cli_currency", currency);
        c.set("Cli_credit_limit", creditLimit);
        c.set("Cli_credit_hold", creditHold);
        c.post();
    }

    // A ledger row, kept in the client's balance as the invoicing side does.
    void ledger(const std::string& client, const std::string& invoice, const char* type, Money amount,
                Date date, const std::string& ref = "", const std::string& salesman = "") {
        Cursor car(*db_, "car");
        car.insert();
        schema::fillBlank(car);
        car.set("Car_client", client);
        car.set("Car_invoice", invoice);
        car.set("Car_ref", ref);
        car.set("Car_date", date);
        car.set("Car_du_date", date.addDays(30));
        car.set("Car_type", type);
        car.set("Car_amount", amount);
        car.set("Car_slsm", salesman);
        car.post();
        Cursor cli(*db_, "cli");
        cli.findKey({Value(client)});
        cli.edit();
        cli.set("Cli_current_bal", cli.money("Cli_current_bal") + amount);
        cli.post();
    }

    std::int64_t count(const std::string& table) {
        Cursor c(*db_, table, true);
        return c.recordCount();
    }

    Database* root = nullptr;
    cashrcpt::ControlAccounts accounts;

private:
    Session session_;
    std::string root_;
    std::string dataDir_;
    std::string schema_; // on a server: the data root's schema
    Database* db_ = nullptr;
};

inline Money units(std::int64_t n) {
    return Money::fromUnits(n);
}

} // namespace vm::test
