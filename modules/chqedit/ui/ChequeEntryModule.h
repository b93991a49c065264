#pragma once
#include "common/core/LinkSection.h"
#include "modules/chqedit/core/ChequeEntryEditor.h"

namespace vm::chqedit {

// The body of ShowDllForm of chqedit (the entries) and chqrecur (the
// recurring templates): the module's own copy of the session record, the
// data module, the window, the error form and the exception hook, the
// regional settings; the window shown modally; everything freed. Returns
// -1, a module that ran.
std::int32_t runChequeModule(const core::TLinkSection& link, ChequeBook book);

} // namespace vm::chqedit
