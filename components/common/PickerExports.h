#pragma once
#include "common/core/LinkSection.h"
#include "components/common/PickerDefinition.h"

#include <cstdint>

// The bodies of the pickers' C entry points: each component library exports
// one function that passes its own declaration here.
namespace vm::components {

// The chosen text key; the empty string when cancelled or when the list
// cannot be shown. The caller owns the returned handle.
core::LinkString pickText(const PickerDefinition& definition, const core::TLinkSection& link) noexcept;
// The chosen int32 key; 0 when cancelled or when the list cannot be shown.
std::int32_t pickNumber(const PickerDefinition& definition, const core::TLinkSection& link) noexcept;

} // namespace vm::components
