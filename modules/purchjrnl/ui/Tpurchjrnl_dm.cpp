#include "modules/purchjrnl/ui/Tpurchjrnl_dm.h"

#include "common/journal/JournalWriter.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/purchjrnl/core/PurchaseEntry.h"
#include "modules/purchjrnl/core/PurchasePosting.h"

namespace vm::purchjrnl {

Tpurchjrnl_dm::Tpurchjrnl_dm(core::TLinkSection& link) : link_(link) {}

Tpurchjrnl_dm::~Tpurchjrnl_dm() {
    close();
}

void Tpurchjrnl_dm::open() {
    company_ = &Session::instance().database(kCompanyAlias);
    root_ = &Session::instance().database(kSystemAlias);
    accounts_ = journal::ControlAccounts::load(*company_);
    period_ = accounts_.apPeriod;
    entry_ = std::make_unique<PurchaseEntry>(*company_, *root_, accounts_, link_.SessionId);
    posting_ = std::make_unique<PurchasePosting>(*company_, accounts_);
    posting_->setUser(link_.LoginUser.str());
}

void Tpurchjrnl_dm::close() {
    posting_.reset();
    entry_.reset();
    if (company_ && company_->inTransaction()) company_->rollback();
    company_ = nullptr;
    root_ = nullptr;
}

std::string Tpurchjrnl_dm::monthName(int period) {
    return journal::periodName(*company_, period);
}

} // namespace vm::purchjrnl
