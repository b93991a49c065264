#pragma once
#include "common/core/LinkSection.h"
#include "common/journal/ControlAccounts.h"
#include "engine/Date.h"

#include <memory>
#include <string>

namespace vm {
class Database;
}

namespace vm::purchjrnl {

class PurchaseEntry;
class PurchasePosting;

// The data side of the window: the company database and the data root (for
// the session's virmem row) reached through the module's aliases, the
// control accounts, the distribution being typed, the posting, and the state
// that lives as long as the window (posting period, last transaction date).
class Tpurchjrnl_dm {
public:
    static constexpr const char* kCompanyAlias = "purchjrnldb";
    static constexpr const char* kSystemAlias = "mydbpurchjrnl";

    explicit Tpurchjrnl_dm(core::TLinkSection& link);
    ~Tpurchjrnl_dm();
    Tpurchjrnl_dm(const Tpurchjrnl_dm&) = delete;
    Tpurchjrnl_dm& operator=(const Tpurchjrnl_dm&) = delete;

    // Connects to the databases the aliases point at, reads the control row
    // and takes the session's virmem row. Throws EngineError.
    void open();
    bool isOpen() const { return entry_ != nullptr; }
    // Rolls back what is open, lets the virmem row and the databases go.
    void close();

    Database& company() { return *company_; }
    const journal::ControlAccounts& accounts() const { return accounts_; }
    PurchaseEntry& entry() { return *entry_; }
    PurchasePosting& posting() { return *posting_; }

    int period() const { return period_; }
    void setPeriod(int period) { period_ = period; }
    std::string monthName(int period);

    Date lastDate() const { return lastDate_; }
    void setLastDate(Date d) { lastDate_ = d; }

private:
    core::TLinkSection& link_;
    Database* company_ = nullptr;
    Database* root_ = nullptr;
    journal::ControlAccounts accounts_;
    std::unique_ptr<PurchaseEntry> entry_;
    std::unique_ptr<PurchasePosting> posting_;
    int period_ = 0;
    Date lastDate_ = Date::today();
};

} // namespace vm::purchjrnl
