#pragma once
#include "common/core/LinkSection.h"
#include "modules/custlist/core/ListSelection.h"

namespace vm::lists {

// The body of ShowDllForm for both list modules: the module's own copy of
// the session record, the main form, the error form and the exception hook,
// the regional settings; the window shown modally; everything freed.
// Returns -1, the result of a module that ran.
std::int32_t runListModule(const core::TLinkSection& link, Master master);

} // namespace vm::lists
