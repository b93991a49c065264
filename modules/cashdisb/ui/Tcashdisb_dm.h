#pragma once
#include "common/core/LinkSection.h"
#include "common/journal/ControlAccounts.h"
#include "engine/Date.h"

#include <memory>
#include <string>

namespace vm {
class Database;
}

namespace vm::cashdisb {

class DisbursementEntry;
class DisbursementPosting;

// The data side of the window: the company and data-root databases reached
// through the module's aliases, the control accounts, the entry in the
// session's work tables, the posting, and the state that lives as long as
// the window (posting period, last transaction date).
class Tcashdisb_dm {
public:
    static constexpr const char* kCompanyAlias = "cashdisbdb";
    static constexpr const char* kSystemAlias = "mydbcashdisb";

    explicit Tcashdisb_dm(core::TLinkSection& link);
    ~Tcashdisb_dm();
    Tcashdisb_dm(const Tcashdisb_dm&) = delete;
    Tcashdisb_dm& operator=(const Tcashdisb_dm&) = delete;

    // Connects to the databases the aliases point at, reads the control row
    // and re-creates the session's work tables. Throws EngineError.
    void open();
    bool isOpen() const { return entry_ != nullptr; }
    // Rolls back what is open and lets the databases go.
    void close();

    Database& company() { return *company_; }
    const journal::ControlAccounts& accounts() const { return accounts_; }
    DisbursementEntry& entry() { return *entry_; }
    DisbursementPosting& posting() { return *posting_; }

    int period() const { return period_; }
    void setPeriod(int period) { period_ = period; }
    // Period_mth of a period; "" when Periods has no such row.
    std::string monthName(int period);

    Date lastDate() const { return lastDate_; }
    void setLastDate(Date d) { lastDate_ = d; }

private:
    core::TLinkSection& link_;
    Database* company_ = nullptr;
    Database* root_ = nullptr;
    journal::ControlAccounts accounts_;
    std::unique_ptr<DisbursementEntry> entry_;
    std::unique_ptr<DisbursementPosting> posting_;
    int period_ = 0;
    Date lastDate_ = Date::today();
};

} // namespace vm::cashdisb
