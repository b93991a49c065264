#include "modules/monthend/ui/Tmonthend_dm.h"

#include "engine/Session.h"

namespace vm::monthend {

void Tmonthend_dm::open() {
    company_ = &Session::instance().database(kAlias);
    period_ = MonthEnd::readPeriod(*company_);
}

} // namespace vm::monthend
