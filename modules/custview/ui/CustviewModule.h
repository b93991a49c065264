#pragma once
#include "common/core/LinkSection.h"

namespace vm::custview {

// The body of ShowDllForm: the module's own copy of the session record, the
// window, the error form and the exception hook, the regional settings; the
// window shown modally; everything freed. Returns -1, the result of a module
// that ran.
std::int32_t runCustviewModule(const core::TLinkSection& link);

} // namespace vm::custview
