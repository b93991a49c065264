#pragma once
#include "common/core/LinkSection.h"
#include "modules/rcvaging/core/AgingTypes.h"

namespace vm::aging {

class AgingWindow;

// The body of ShowDllForm for both aging modules: the module's own copy of
// the session record, the main form, the error form and the exception hook,
// the regional settings; the window shown modally; everything freed.
// Returns -1, the result of a module that ran.
std::int32_t runAgingModule(const core::TLinkSection& link, Ledger ledger);

} // namespace vm::aging
