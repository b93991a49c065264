#pragma once
#include "common/core/LinkSection.h"

namespace vm::chqissue {

// The body of ShowDllForm: the module's own copy of the session record, the
// window, the error form and the exception hook, the regional settings; the
// window shown modally; everything freed. Returns -1, a module that ran.
std::int32_t runChequeIssueModule(const core::TLinkSection& link);

} // namespace vm::chqissue
