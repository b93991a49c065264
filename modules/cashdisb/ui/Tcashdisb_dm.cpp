#include "modules/cashdisb/ui/Tcashdisb_dm.h"

#include "common/journal/JournalWriter.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/cashdisb/core/DisbursementEntry.h"
#include "modules/cashdisb/core/DisbursementPosting.h"

namespace vm::cashdisb {

Tcashdisb_dm::Tcashdisb_dm(core::TLinkSection& link) : link_(link) {}

Tcashdisb_dm::~Tcashdisb_dm() {
    close();
}

void Tcashdisb_dm::open() {
    company_ = &Session::instance().database(kCompanyAlias);
    root_ = &Session::instance().database(kSystemAlias);
    accounts_ = journal::ControlAccounts::load(*company_);
    period_ = accounts_.apPeriod;
    entry_ = std::make_unique<DisbursementEntry>(*company_, accounts_, link_.SessionId);
    entry_->createWorkTables(*root_);
    posting_ = std::make_unique<DisbursementPosting>(*company_, accounts_);
    posting_->setUser(link_.LoginUser.str());
}

void Tcashdisb_dm::close() {
    posting_.reset();
    entry_.reset();
    if (company_ && company_->inTransaction()) company_->rollback();
    company_ = nullptr;
    root_ = nullptr;
}

std::string Tcashdisb_dm::monthName(int period) {
    return journal::periodName(*company_, period);
}

} // namespace vm::cashdisb
