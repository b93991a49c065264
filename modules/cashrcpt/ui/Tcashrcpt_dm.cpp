#include "modules/cashrcpt/ui/Tcashrcpt_dm.h"

#include "common/journal/JournalWriter.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "modules/cashrcpt/core/ReceiptPosting.h"

namespace vm::cashrcpt {

Tcashrcpt_dm::Tcashrcpt_dm(core::TLinkSection& link) : link_(link) {}

Tcashrcpt_dm::~Tcashrcpt_dm() {
    try {
        close();
    } catch (...) {
        // Closing after a database failure: nothing more can be saved.
    }
}

void Tcashrcpt_dm::open() {
    company_ = &Session::instance().database(kCompanyAlias);
    root_ = &Session::instance().database(kSystemAlias);
    accounts_ = ControlAccounts::load(*company_);
    period_ = accounts_.arPeriod;
    entry_ = std::make_unique<ReceiptEntry>(*company_, accounts_, link_.SessionId);
    entry_->createWorkTables(*root_);
    posting_ = std::make_unique<ReceiptPosting>(*company_, accounts_);
    posting_->setUser(link_.LoginUser.str());
}

void Tcashrcpt_dm::close() {
    posting_.reset();
    entry_.reset();
    if (company_ && company_->inTransaction()) company_->rollback();
    company_ = nullptr;
    root_ = nullptr;
}

std::string Tcashrcpt_dm::monthName(int period) {
    return journal::periodName(*company_, period);
}

} // namespace vm::cashrcpt
