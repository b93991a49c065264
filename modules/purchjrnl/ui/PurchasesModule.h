#pragma once
#include "common/core/LinkSection.h"

#include <cstdint>

namespace vm::purchjrnl {

// The body of the module's ShowDllForm: the data module, the window, the
// period dialog and the error form, the module's exception hook and the
// regional settings; shows the window modally and frees everything when it
// closes. Returns -1 (the module ran).
std::int32_t runPurchases(const core::TLinkSection& received);

} // namespace vm::purchjrnl
