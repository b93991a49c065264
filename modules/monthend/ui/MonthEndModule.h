#pragma once
#include "common/core/LinkSection.h"

#include <cstdint>

namespace vm::monthend {

// The body of the module's ShowDllForm: the data module, the window and the
// error form, the module's exception hook and the regional settings; shows
// the window modally and frees everything when it closes. Returns -1.
std::int32_t runMonthEnd(const core::TLinkSection& received);

} // namespace vm::monthend
